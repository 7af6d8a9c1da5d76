#pragma once
// Where sACN goes when no unicast address is given.

#include <cstdint>

#include "core/Ipv4Address.h"

// The standard sACN multicast group of a universe (239.255.hi.lo).
TIpv4Address SacnMulticastGroup(std::uint16_t universe);
// Where sACN universe discovery goes.
TIpv4Address SacnDiscoveryGroup();
