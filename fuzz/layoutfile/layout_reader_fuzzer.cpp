// Any bytes as a layout file: the reader takes a whole image or nothing. A
// failed read leaves the table as it was; a successful one holds exactly the
// file's first 33,800 bytes, and every field read through the table's
// accessors stays within its range.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/mman.h>
#include <unistd.h>

#include <QString>

#include "layoutfile/LayoutFile.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "layout fuzz: %s\n", what);
    std::abort();
}

// The file lives in memory, made once and refilled for each input: no disk
// is touched, and the runs go to the reader rather than to making files.
int layoutFd = -1;
QString layoutPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    layoutFd = ::memfd_create("layout", MFD_CLOEXEC);
    if (layoutFd < 0) Fail("memfd_create");
    layoutPath = QStringLiteral("/proc/self/fd/%1").arg(layoutFd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(layoutFd, 0) != 0) Fail("ftruncate");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(layoutFd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) Fail("write");
        done += static_cast<std::size_t>(n);
    }
    const QString& path = layoutPath;

    auto table = std::make_unique<TChannelTable>();
    std::memset(table.get(), 0xA5, sizeof *table);
    const auto before = std::make_unique<TChannelTable>(*table);
    const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table);

    const bool whole = size >= sizeof(TChannelTable);
    if (!read) {
        if (whole) Fail("a whole image was refused");
        if (std::memcmp(table.get(), before.get(), sizeof *table) != 0)
            Fail("a failed read touched the table");
        if (read.Error().Message().isEmpty()) Fail("a failure without a message");
        return 0;
    }
    if (!whole || read.Value() != TLayoutRead::Read) Fail("a short file was taken");
    if (std::memcmp(table.get(), data, sizeof *table) != 0) Fail("the table differs from the file");
    // The accessors do the same for every channel: the ends of the range and
    // one channel the input chooses stand for all 512, so that the runs go to
    // new inputs rather than to the same checks over again.
    const int chosen = 1 + (data[8] | (data[9] << 8)) % 512;
    for (const int c : {1, 2, 511, 512, chosen}) {
        if (table->Name1Of(c).Text().size() > 12 || table->Name2Of(c).Text().size() > 12)
            Fail("a caption longer than 12");
        (void)table->LevelOf(c);
        (void)table->FaderColorOf(c);
    }
    return 0;
}
