// Hostile OSC datagrams: every one is accepted or dropped and counted, never
// read past its end, and what is accepted is in range.

#include <cstdint>
#include <cstdlib>

#include "core/DmxConstants.h"
#include "surfaceio/OscServer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_OSC_DATAGRAM) return 0;
    TInputMailbox box;
    long long dropped = 0;
    std::vector<std::string> paths;
    const int accepted = TOscServer::Decode(data, size, box, dropped, &paths);
    if (accepted < 0 || static_cast<std::size_t>(accepted) != paths.size()) std::abort();
    if (accepted == 0 && dropped == 0 && size > 0) {
        // An empty bundle is the only datagram that asks for nothing.
        if (size < 16) std::abort();
    }
    for (const TSurfaceInput& in : box.TakeAll()) {
        const bool ok = in.Value >= 0 && in.Value <= DMX_MAX_LEVEL && in.Index >= 1 &&
                        in.Index <= DMX_UNIVERSE_SIZE;
        if (!ok) std::abort();
    }
    return 0;
}
