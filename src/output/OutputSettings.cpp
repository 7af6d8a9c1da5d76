#include "output/OutputSettings.h"

#include "core/Ipv4Address.h"
#include "output/Cid.h"
#include "output/SacnGroups.h"
#include "output/SacnPacket.h"

#include <charconv>
#include <limits>

bool ParseWholeNumber(std::string_view text, int& value) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    int parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec == std::errc::result_out_of_range) {
        value = std::numeric_limits<int>::min();
        return true;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

namespace {

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

namespace {

TSettingsProblem SacnProblem(const TSacnSettings& s) {
    if (s.universe < sacn::MIN_UNIVERSE || s.universe > sacn::MAX_UNIVERSE)
        return {"sacn.universe", "The sACN universe must be between 1 and 63999."};
    if (!s.address.empty()) {
        const auto address = ParseIpv4(s.address);
        if (!address)
            return {"sacn.address",
                    "The sACN destination \"" + s.address + "\" is not an IPv4 address."};
        if (address->IsUnspecified())
            return {"sacn.address",
                    "The sACN destination must be a receiver's address, not " + s.address + "."};
        if (address->value == 0xFFFFFFFFu)
            return {"sacn.address",
                    "The sACN destination must be one receiver, not every host on the network."};
        // Another universe's group would reach receivers that did not ask.
        if (address->IsMulticast() && !(*address == SacnMulticastGroup(s.universe)))
            return {"sacn.address",
                    "The sACN destination must be a unicast address or the universe's own "
                    "multicast group."};
    }
    if (s.priority < 0 || s.priority > sacn::MAX_PRIORITY)
        return {"sacn.priority", "The sACN priority must be between 0 and 200."};
    if (s.sourceName.empty() || s.sourceName.size() > MAX_SOURCE_NAME_BYTES)
        return {"sacn.source_name", "The sACN source name must have 1 to 63 bytes."};
    return {};
}

TSettingsProblem ArtNetProblem(const TArtNetSettings& s) {
    if (s.net < 0 || s.net > 127)
        return {"artnet.net", "The Art-Net net must be between 0 and 127."};
    if (s.subNet < 0 || s.subNet > 15)
        return {"artnet.subnet", "The Art-Net sub-net must be between 0 and 15."};
    if (s.universe < 0 || s.universe > 15)
        return {"artnet.universe", "The Art-Net universe must be between 0 and 15."};
    const auto address = ParseIpv4(s.address);
    if (!address)
        return {"artnet.address",
                "The Art-Net destination \"" + s.address + "\" is not an IPv4 address."};
    if (address->IsUnspecified())
        return {"artnet.address",
                "The Art-Net destination must be a receiver's address, not " + s.address + "."};
    if (address->IsMulticast())
        return {"artnet.address", "Art-Net is sent to a unicast or broadcast address."};
    // The limited broadcast leaves by every interface; a directed one stays on one network.
    if (address->value == 0xFFFFFFFFu)
        return {"artnet.address",
                "Art-Net needs a directed broadcast such as 192.0.2.255, not 255.255.255.255."};
    return {};
}

TSettingsProblem OlaProblem(const TOlaSettings& s) {
    if (s.universe < 0)
        return {"ola.universe", "The OLA universe must be between 0 and 2147483647."};
    if (s.port < 1 || s.port > 65535)
        return {"ola.port", "The olad port must be between 1 and 65535."};
    return {};
}

} // namespace

TSettingsProblem FindSettingsProblem(const TOutputSettings& s) {
    if (!s.cid.empty() && !CidFromText(s.cid)) return {"cid", "The sACN CID is not a UUID."};
    if (s.rate < MIN_RATE || s.rate > MAX_RATE)
        return {"rate", "The rate must be between 1 and 1000."};
    for (TSettingsProblem problem :
         {SacnProblem(s.sacn), ArtNetProblem(s.artnet), OlaProblem(s.ola)})
        if (problem) return problem;
    return {};
}

std::string ValidateSacn(const TSacnSettings& s) {
    return SacnProblem(s).message;
}

std::string ValidateArtNet(const TArtNetSettings& s) {
    return ArtNetProblem(s).message;
}

std::string ValidateOla(const TOlaSettings& s) {
    return OlaProblem(s).message;
}

std::string ValidateSettings(const TOutputSettings& s) {
    return FindSettingsProblem(s).message;
}

std::string ApplySacnOption(std::string_view text, TSacnSettings& s) {
    TSacnSettings next = s;
    bool hasAddress = false;
    std::string address;
    const std::string_view universe = SplitAddress(text, address, hasAddress);
    if (!ParseWholeNumber(universe, next.universe))
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
    if (!ParseWholeNumber(ports.substr(0, first), next.net) ||
        !ParseWholeNumber(ports.substr(first + 1, second - first - 1), next.subNet) ||
        !ParseWholeNumber(ports.substr(second + 1), next.universe))
        return usage;
    if (hasAddress) next.address = address;
    return EnableIfValid(s, next, ValidateArtNet);
}

std::string ApplyOlaOption(std::string_view text, TOlaSettings& s) {
    TOlaSettings next = s;
    if (!ParseWholeNumber(text, next.universe))
        return "--ola wants a universe number, not \"" + std::string(text) + "\".";
    return EnableIfValid(s, next, ValidateOla);
}
