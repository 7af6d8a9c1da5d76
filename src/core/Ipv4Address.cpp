#include "core/Ipv4Address.h"

std::string TIpv4Address::ToString() const {
    return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xFF) + "." +
           std::to_string((value >> 8) & 0xFF) + "." + std::to_string(value & 0xFF);
}

std::optional<TIpv4Address> ParseIpv4(std::string_view text) {
    std::uint32_t result = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
        const std::size_t start = i;
        unsigned part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            part = part * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (part > 255 || (i - start > 1 && text[start] == '0')) return std::nullopt;
        result = (result << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
    }
    if (i != text.size()) return std::nullopt;
    return TIpv4Address{result};
}
