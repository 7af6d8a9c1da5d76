// Feeds arbitrary datagrams to the ArtPoll reader, which sits behind a
// listening socket. Any read past the given bytes is caught by the sanitizers;
// an accepted poll must describe only bytes that were there.

#include "output/ArtNetPacket.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Copied so that the sanitizer sees the exact end of the datagram.
    auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i)
        copy[i] = data[i];
    const auto poll = artnet::ParseArtPoll(std::span<const std::uint8_t>(copy, size));
    if (poll) {
        if (size < artnet::POLL_MIN_SIZE) std::abort();
        if (poll->targeted && size < artnet::POLL_TARGETED_SIZE) std::abort();
        if (poll->protocolVersion < artnet::PROTOCOL_VERSION) std::abort();
        (void)poll->Covers(0x1234);
    }
    std::free(copy);
    return 0;
}
