#pragma once
// How the reference host shows what it received.

#include <cstdint>
#include <string>

#include "hostlink/HostServer.h"

namespace monitor {

// "#3 WM_COPYDATA frame: 33=128 40-48=255 (10 channels above 0)"; frames of
// one value print as "all 0". Keys: "#4 WM_KEYDOWN wParam=0x141 lParam=0x1e0001".
std::string FormatLine(std::uint64_t number, const hostlink::ReceivedMessage& message);

// {"n":3,"msg":74,"wParam":0,"lParam":256,"length":512,"sent":true,"levels":[...]}
// "levels" only for channel frames.
std::string FormatJson(std::uint64_t number, const hostlink::ReceivedMessage& message);

bool IsChannelFrame(const hostlink::ReceivedMessage& message);

} // namespace monitor
