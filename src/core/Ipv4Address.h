#pragma once
// IPv4 addresses as the desk accepts them from its settings: dotted quads
// only, no host names, so that nothing is looked up and nothing goes where
// the user did not say.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TIpv4Address {
    std::uint32_t value = 0; // host byte order

    bool operator==(const TIpv4Address&) const = default;
    bool IsMulticast() const { return (value >> 28) == 0xE; }
    bool IsLoopback() const { return (value >> 24) == 127; }
    bool IsUnspecified() const { return value == 0; }
    std::string ToString() const;
};

// Exactly four decimal parts 0-255, no leading zeros, nothing else.
std::optional<TIpv4Address> ParseIpv4(std::string_view text);
