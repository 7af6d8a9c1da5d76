// Feeds arbitrary bytes to the container reader and the carrier-stream
// reader; whatever they accept must write back and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "storage/CarrierStream.h"
#include "storage/ContainerFile.h"

namespace {

bool SameEntries(const ToxRegFile& a, const ToxRegFile& b) {
    if (a.Entries().size() != b.Entries().size()) return false;
    for (std::size_t i = 0; i < a.Entries().size(); ++i) {
        const ToxRegFile::Entry& x = a.Entries()[i];
        const ToxRegFile::Entry& y = b.Entries()[i];
        if (x.Type != y.Type || x.Size != y.Size || x.Data != y.Data) return false;
    }
    return true;
}

void Container(QByteArrayView bytes) {
    ToxRegFile table;
    table.LoadFromBytes(bytes);
    for (const ToxRegFile::Entry& e : table.Entries()) {
        if (e.Data.size() > bytes.size() || e.Size != e.Data.size()) std::abort();
        table.SetSection(QString::fromUtf8(e.Section));
        const QString name = QString::fromUtf8(e.Name);
        char buffer[16];
        (void)table.ReadString(name);
        (void)table.ReadBinary(name, buffer, sizeof buffer);
    }
    ToxRegFile again;
    again.LoadFromBytes(table.SaveToBytes());
    if (!bytes.startsWith("03")) return;
    if (!SameEntries(table, again)) std::abort();
}

void Stream(QByteArrayView bytes) {
    const std::optional<oxp::TCarrierStream> s = oxp::ReadCarrierStream(bytes);
    if (!s) return;
    const std::optional<oxp::TCarrierStream> again =
        oxp::ReadCarrierStream(oxp::WriteCarrierStream(*s));
    if (!again || again->properties.size() != s->properties.size()) std::abort();
    if (const std::optional<QStringList> lines = oxp::ReadStringListStream(bytes))
        if (oxp::ReadStringListStream(oxp::WriteStringListStream(*lines)) != lines) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Container(bytes);
    Stream(bytes);
    return 0;
}
