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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file lives in memory: no disk is touched per input.
    const int fd = ::memfd_create("layout", MFD_CLOEXEC);
    if (fd < 0) Fail("memfd_create");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) Fail("write");
        done += static_cast<std::size_t>(n);
    }
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    auto table = std::make_unique<TChannelTable>();
    std::memset(table.get(), 0xA5, sizeof *table);
    const auto before = std::make_unique<TChannelTable>(*table);
    const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table);
    ::close(fd);

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
    for (int c = 1; c <= 512; ++c) {
        if (table->Name1Of(c).Text().size() > 12 || table->Name2Of(c).Text().size() > 12)
            Fail("a caption longer than 12");
        (void)table->LevelOf(c);
        (void)table->FaderColorOf(c);
    }
    return 0;
}
