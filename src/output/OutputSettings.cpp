#include "output/OutputSettings.h"

#include "output/Cid.h"
#include "output/Ipv4Address.h"
#include "output/SacnPacket.h"

#include <charconv>

namespace {

bool ParseInt(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The address and the part before '@'.
std::string_view SplitAddress(std::string_view text, std::string& address, bool& hasAddress) {
    const auto at = text.find('@');
    hasAddress = at != std::string_view::npos;
    if (!hasAddress) return text;
    address = std::string(text.substr(at + 1));
    return text.substr(0, at);
}

// The output turned on with `next` when that is valid; otherwise the error,
// and `s` as it was.
template <typename Settings>
std::string EnableIfValid(Settings& s, Settings next, std::string (*validate)(const Settings&)) {
    next.enabled = true;
    if (std::string error = validate(next); !error.empty()) return error;
    s = next;
    return {};
}

} // namespace

std::string ValidateSacn(const TSacnSettings& s) {
    if (s.universe < sacn::MIN_UNIVERSE || s.universe > sacn::MAX_UNIVERSE)
        return "The sACN universe must be between 1 and 63999.";
    if (!s.address.empty()) {
        const auto address = ParseIpv4(s.address);
        if (!address || address->IsUnspecified())
            return "The sACN destination \"" + s.address + "\" is not an IPv4 address.";
        if (address->value == 0xFFFFFFFFu)
            return "The sACN destination must be one receiver, not every host on the network.";
        // Another universe's group would reach receivers that did not ask.
        if (address->IsMulticast() && !(*address == SacnMulticastGroup(s.universe)))
            return "The sACN destination must be a unicast address or the universe's own "
                   "multicast group.";
    }
    if (s.priority < 0 || s.priority > sacn::MAX_PRIORITY)
        return "The sACN priority must be between 0 and 200.";
    if (s.sourceName.empty() || s.sourceName.size() > MAX_SOURCE_NAME_BYTES)
        return "The sACN source name must have 1 to 63 bytes.";
    return {};
}

std::string ValidateArtNet(const TArtNetSettings& s) {
    if (s.net < 0 || s.net > 127) return "The Art-Net net must be between 0 and 127.";
    if (s.subNet < 0 || s.subNet > 15) return "The Art-Net sub-net must be between 0 and 15.";
    if (s.universe < 0 || s.universe > 15) return "The Art-Net universe must be between 0 and 15.";
    const auto address = ParseIpv4(s.address);
    if (!address || address->IsUnspecified())
        return "The Art-Net destination \"" + s.address + "\" is not an IPv4 address.";
    if (address->IsMulticast()) return "Art-Net is sent to a unicast or broadcast address.";
    // The limited broadcast leaves by every interface; a directed one stays on one network.
    if (address->value == 0xFFFFFFFFu)
        return "Art-Net needs a directed broadcast such as 192.0.2.255, not 255.255.255.255.";
    return {};
}

std::string ValidateOla(const TOlaSettings& s) {
    if (s.universe < 0 || s.universe > 0x7FFFFFFF) return "The OLA universe is out of range.";
    if (s.port < 1 || s.port > 65535) return "The olad port must be between 1 and 65535.";
    return {};
}

std::string ValidateSettings(const TOutputSettings& s) {
    if (!s.cid.empty() && !CidFromText(s.cid)) return "The sACN CID is not a UUID.";
    if (s.rate < MIN_RATE || s.rate > MAX_RATE) return "The rate must be between 1 and 1000.";
    for (const std::string& error :
         {ValidateSacn(s.sacn), ValidateArtNet(s.artnet), ValidateOla(s.ola)})
        if (!error.empty()) return error;
    return {};
}

std::string ApplySacnOption(std::string_view text, TSacnSettings& s) {
    TSacnSettings next = s;
    bool hasAddress = false;
    std::string address;
    const std::string_view universe = SplitAddress(text, address, hasAddress);
    if (!ParseInt(universe, next.universe))
        return "--sacn wants UNIVERSE[@ADDRESS], not \"" + std::string(text) + "\".";
    next.address = hasAddress ? address : std::string();
    if (hasAddress && address.empty()) return "--sacn: the address after @ is missing.";
    return EnableIfValid(s, next, ValidateSacn);
}

std::string ApplyArtNetOption(std::string_view text, TArtNetSettings& s) {
    TArtNetSettings next = s;
    bool hasAddress = false;
    std::string address;
    const std::string_view ports = SplitAddress(text, address, hasAddress);
    const auto first = ports.find(':');
    const auto second = first == std::string_view::npos ? first : ports.find(':', first + 1);
    const std::string usage =
        "--artnet wants NET:SUB:UNI[@ADDRESS], not \"" + std::string(text) + "\".";
    if (second == std::string_view::npos) return usage;
    if (!ParseInt(ports.substr(0, first), next.net) ||
        !ParseInt(ports.substr(first + 1, second - first - 1), next.subNet) ||
        !ParseInt(ports.substr(second + 1), next.universe))
        return usage;
    if (hasAddress) next.address = address;
    return EnableIfValid(s, next, ValidateArtNet);
}

std::string ApplyOlaOption(std::string_view text, TOlaSettings& s) {
    TOlaSettings next = s;
    if (!ParseInt(text, next.universe))
        return "--ola wants a universe number, not \"" + std::string(text) + "\".";
    return EnableIfValid(s, next, ValidateOla);
}
