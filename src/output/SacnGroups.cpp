#include "output/SacnGroups.h"

namespace {
constexpr std::uint16_t SACN_DISCOVERY_UNIVERSE = 64214;
}

TIpv4Address SacnMulticastGroup(std::uint16_t universe) {
    return TIpv4Address{(239u << 24) | (255u << 16) | universe};
}

TIpv4Address SacnDiscoveryGroup() {
    return SacnMulticastGroup(SACN_DISCOVERY_UNIVERSE);
}
