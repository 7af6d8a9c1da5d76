#pragma once
// Multi-byte fields written and read with the byte order each protocol names,
// never through a cast of a struct onto the wire.

#include <cstddef>
#include <cstdint>

inline void PutU16Be(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

inline void PutU32Be(std::uint8_t* p, std::uint32_t v) {
    PutU16Be(p, static_cast<std::uint16_t>(v >> 16));
    PutU16Be(p + 2, static_cast<std::uint16_t>(v));
}

inline void PutU16Le(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint16_t GetU16Be(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint16_t GetU16Le(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
