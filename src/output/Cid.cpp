#include "output/Cid.h"

#include <random>

namespace {
constexpr char HEX[] = "0123456789abcdef";
constexpr std::size_t CID_TEXT_SIZE = 36;

bool IsDashAt(std::size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

sacn::TCid GenerateCid() {
    std::random_device device;
    sacn::TCid cid{};
    for (auto& byte : cid)
        byte = static_cast<std::uint8_t>(device());
    cid[6] = static_cast<std::uint8_t>((cid[6] & 0x0F) | 0x40); // random UUID
    cid[8] = static_cast<std::uint8_t>((cid[8] & 0x3F) | 0x80);
    return cid;
}

std::string CidToText(const sacn::TCid& cid) {
    std::string text;
    text.reserve(CID_TEXT_SIZE);
    for (std::size_t i = 0; i < cid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += HEX[cid[i] >> 4];
        text += HEX[cid[i] & 0xF];
    }
    return text;
}

std::optional<sacn::TCid> CidFromText(std::string_view text) {
    if (text.size() != CID_TEXT_SIZE) return std::nullopt;
    sacn::TCid cid{};
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (IsDashAt(i)) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0 || IsDashAt(i + 1)) return std::nullopt;
        cid[byte++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    return byte == cid.size() ? std::optional(cid) : std::nullopt;
}
