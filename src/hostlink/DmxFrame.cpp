#include "hostlink/DmxFrame.h"

#include <cstring>

namespace hostlink {

bool TransmitDmxFrame(Endpoint& endpoint, const TDmxLevels& levels,
                      std::array<std::uint8_t, DMX_UNIVERSE_SIZE>& buffer) {
    static_assert(sizeof levels == DMX_UNIVERSE_SIZE);
    if (!endpoint.Find(HOST_CLASS_NAME)) {
        // Kept, so that a host that turns up gets these levels.
        endpoint.Missed(
            {WM_COPYDATA, 0, DMX_FRAME_TAG, levels, static_cast<std::uint32_t>(DMX_UNIVERSE_SIZE)});
        return false;
    }
    std::memcpy(buffer.data(), levels, buffer.size());
    const HostMessage frame{WM_COPYDATA, 0, DMX_FRAME_TAG, buffer.data(),
                            static_cast<std::uint32_t>(buffer.size())};
    return endpoint.Send(frame, FRAME_WAIT);
}

} // namespace hostlink
