#include "storage/ContainerFile.h"

#include "core/WholeFile.h"

#include <algorithm>
#include <cstring>

#include <QFile>

#include "storage/Ascii.h"

namespace {

constexpr char kHeader[16] = {'0', '3'};
constexpr char kEntryMarker[4] = {'|', '|', '+', '+'};
constexpr char kDataMarker[4] = {'|', '|', '-', '>'};
constexpr int kNameField = 24;
constexpr int kSectionField = 64;
constexpr int kRecordSize = kNameField + kSectionField + 1 + 4;

QByteArray Cut(const QString& text, int length) {
    return text.toUtf8().left(length);
}

// The text of a fixed field up to its first zero byte.
QByteArray ZeroTerminated(const char* field, int width) {
    const void* zero = std::memchr(field, 0, static_cast<std::size_t>(width));
    return QByteArray(field, zero ? static_cast<const char*>(zero) - field : width);
}

void AppendField(QByteArray& out, const QByteArray& text, int width) {
    const QByteArray cut = text.left(width - 1);
    out.append(cut);
    out.append(width - cut.size(), '\0');
}

void AppendInt32(QByteArray& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((u >> shift) & 0xFF));
}

std::int32_t Int32At(const char* p) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<std::int32_t>(u);
}

// Reads forward through a byte range; never past its end.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes) : bytes_(bytes) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    qsizetype Left() const { return bytes_.size() - pos_; }
    // Copies up to `count` bytes into `out` (zero-filled beyond the end).
    void Read(char* out, qsizetype count) {
        const qsizetype n = std::min(count, Left());
        // An empty range may have no data at all; memcpy must not see it.
        if (n > 0) std::memcpy(out, bytes_.data() + pos_, static_cast<std::size_t>(n));
        std::memset(out + n, 0, static_cast<std::size_t>(count - n));
        pos_ += n;
    }
    bool Expect(const char (&marker)[4]) {
        if (Left() < 4) return false;
        const bool ok = std::memcmp(bytes_.data() + pos_, marker, 4) == 0;
        pos_ += 4;
        return ok;
    }
    QByteArray Take(qsizetype count) {
        const qsizetype n = std::min(count, Left());
        QByteArray out(bytes_.data() + pos_, n);
        pos_ += n;
        return out;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

} // namespace

QString ToxRegFile::NormaliseSection(const QString& section) {
    QString s = section;
    while (s.contains(QLatin1String("\\\\")))
        s.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    if (s.startsWith(QLatin1Char('\\'))) s.remove(0, 1);
    if (s.endsWith(QLatin1Char('\\'))) s.chop(1);
    return s;
}

void ToxRegFile::SetSection(const QString& section) {
    section_ = Cut(NormaliseSection(section), kMaxSectionLength);
}

const ToxRegFile::Entry* ToxRegFile::Find(const QString& name) const {
    const QByteArray key = Cut(name, kMaxNameLength);
    for (const Entry& e : entries_)
        if (oxp::AsciiEqualsIgnoreCase(e.Name, key) &&
            oxp::AsciiEqualsIgnoreCase(e.Section, section_))
            return &e;
    return nullptr;
}

bool ToxRegFile::ValueExists(const QString& name) const {
    return Find(name) != nullptr;
}

void ToxRegFile::Append(const QString& name, std::uint8_t type, QByteArray data) {
    DeleteValue(name);
    Entry e;
    e.Name = Cut(name, kMaxNameLength);
    e.Section = section_;
    e.Type = type;
    e.Size = static_cast<std::int32_t>(data.size());
    e.Data = std::move(data);
    entries_.push_back(std::move(e));
}

void ToxRegFile::WriteString(const QString& name, const QString& text) {
    QByteArray data = text.toUtf8();
    data.append('\0');
    Append(name, kStringEntry, std::move(data));
}

void ToxRegFile::WriteBinary(const QString& name, const char* bytes, int count) {
    WriteBinary(name, QByteArrayView(bytes, std::max(count, 0)));
}

void ToxRegFile::WriteBinary(const QString& name, QByteArrayView bytes) {
    Append(name, kBinaryEntry, bytes.toByteArray());
}

QString ToxRegFile::ReadString(const QString& name) const {
    const Entry* e = Find(name);
    if (e == nullptr || e->Type != kStringEntry || e->Data.isEmpty()) return {};
    return QString::fromUtf8(ZeroTerminated(e->Data.constData(), static_cast<int>(e->Data.size())));
}

int ToxRegFile::ReadBinary(const QString& name, char* buffer, int capacity) const {
    const Entry* e = Find(name);
    if (e == nullptr || e->Type != kBinaryEntry || e->Data.isEmpty()) return 0;
    const qsizetype n = std::clamp<qsizetype>(capacity, 0, e->Data.size());
    if (n > 0) std::memcpy(buffer, e->Data.constData(), static_cast<std::size_t>(n));
    return e->Size;
}

int ToxRegFile::DataSize(const QString& name) const {
    const Entry* e = Find(name);
    return e ? e->Size : 0;
}

bool ToxRegFile::DeleteValue(const QString& name) {
    const Entry* e = Find(name);
    if (e == nullptr) return false;
    entries_.erase(entries_.begin() + (e - entries_.data()));
    return true;
}

QByteArray ToxRegFile::SaveToBytes() const {
    QByteArray out;
    out.append(kHeader, sizeof kHeader);
    for (const Entry& e : entries_) {
        out.append(kEntryMarker, 4);
        AppendField(out, e.Name, kNameField);
        AppendField(out, e.Section, kSectionField);
        out.append(static_cast<char>(e.Type));
        AppendInt32(out, static_cast<std::int32_t>(e.Data.size()));
        out.append(kDataMarker, 4);
        out.append(e.Data);
    }
    out.append(kHeader, sizeof kHeader);
    return out;
}

void ToxRegFile::LoadFromBytes(QByteArrayView bytes) {
    Clear();
    Cursor in(bytes);
    char header[sizeof kHeader];
    in.Read(header, sizeof header);
    if (header[0] != '0' || header[1] != '3') return;
    while (!in.AtEnd()) {
        if (!in.Expect(kEntryMarker)) return;
        char record[kRecordSize];
        in.Read(record, kRecordSize);
        SetSection(QString::fromUtf8(ZeroTerminated(record + kNameField, kSectionField)));
        Entry e;
        e.Name = ZeroTerminated(record, kNameField);
        e.Section = section_;
        e.Type = static_cast<std::uint8_t>(record[kNameField + kSectionField]);
        const std::int32_t size = Int32At(record + kNameField + kSectionField + 1);
        entries_.push_back(e);
        // A negative size ends the read as a broken marker does.
        if (size < 0 || !in.Expect(kDataMarker)) return;
        // Never trust the stored size: an entry holds what the file holds.
        entries_.back().Data = in.Take(size);
        entries_.back().Size = static_cast<std::int32_t>(entries_.back().Data.size());
    }
}

TFileResult<> ToxRegFile::SaveToFile(const QString& path) const {
    QByteArray written;
    return SaveToFile(path, written);
}

TFileResult<> ToxRegFile::SaveToFile(const QString& path, QByteArray& written) const {
    written = SaveToBytes();
    return ReplaceFileWhole(path, written, QStringLiteral("Cannot save file \"%1\":"));
}

TFileResult<> ToxRegFile::LoadFromFile(const QString& path) {
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TFileError(path, QStringLiteral("Cannot open file \"%1\"."), file.errorString());
    if (file.size() > kMaxFileSize)
        return TFileError(path, QStringLiteral("File \"%1\" is too large"));
    LoadFromBytes(file.read(kMaxFileSize));
    return {};
}
