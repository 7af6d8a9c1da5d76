// Any bytes as a message from a page: the reader refuses or returns a command
// whose every number is in range and whose texts have their promised shape.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/DmxConstants.h"
#include "remote/RemoteCommand.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "remote command fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const remote::TParsedCommand p =
        remote::ParseRemoteCommand(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (!p.Ok) {
        if (p.Error.isEmpty()) Fail("a refusal without a reason");
        return 0;
    }
    if (size > static_cast<std::size_t>(remote::MAX_COMMAND_BYTES)) Fail("too long accepted");
    using Kind = remote::TRemoteCommand::Kind;
    const remote::TRemoteCommand& c = p.Command;
    switch (c.What) {
    case Kind::Move:
        if (c.Level < 0 || c.Level > DMX_MAX_LEVEL) Fail("level out of range");
        [[fallthrough]];
    case Kind::Press:
    case Kind::Release:
    case Kind::Latch:
        if (c.Slot < 1 || c.Slot > FADERS_PER_PAGE) Fail("slot out of range");
        break;
    case Kind::Page:
        if (c.Page < 1 || c.Page > PAGE_COUNT) Fail("page out of range");
        break;
    case Kind::Pair:
        if (c.Code.size() != 6 || c.Device.size() > remote::MAX_DEVICE_NAME) Fail("bad pair");
        break;
    case Kind::Auth:
        if (c.Token.size() != remote::TOKEN_LENGTH) Fail("bad token");
        break;
    }
    return 0;
}
