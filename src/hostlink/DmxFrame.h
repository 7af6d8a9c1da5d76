#pragma once
// Handing the 512 channel levels to the host.

#include <array>
#include <chrono>
#include <cstdint>

#include "core/DmxConstants.h"
#include "hostlink/Endpoint.h"

namespace hostlink {

// How long one frame may wait for the host before it is given up.
inline constexpr std::chrono::milliseconds FRAME_WAIT{250};

// Looks the host up; when there is one, copies `levels` into `buffer` and
// sends them as a channel frame, waiting at most FRAME_WAIT. Returns whether
// the host took the frame; nothing is reported either way. A frame no host
// was there for is handed to the endpoint as missed (see Endpoint::Refresh).
bool TransmitDmxFrame(Endpoint& endpoint, const TDmxLevels& levels,
                      std::array<std::uint8_t, DMX_UNIVERSE_SIZE>& buffer);

} // namespace hostlink
