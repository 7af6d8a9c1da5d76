#pragma once
// sACN (E1.31) packets built into fixed buffers. The offsets are named once
// here; the tests check them byte by byte.

#include "output/Output.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sacn {

inline constexpr std::uint16_t PORT = 5568;
inline constexpr std::size_t CID_SIZE = 16;
inline constexpr std::size_t SOURCE_NAME_SIZE = 64;
inline constexpr std::uint16_t MIN_UNIVERSE = 1;
inline constexpr std::uint16_t MAX_UNIVERSE = 63999;
inline constexpr std::uint8_t MAX_PRIORITY = 200;
inline constexpr std::uint8_t DEFAULT_PRIORITY = 100;

// Root layer
inline constexpr std::size_t OFF_PREAMBLE_SIZE = 0;
inline constexpr std::size_t OFF_POSTAMBLE_SIZE = 2;
inline constexpr std::size_t OFF_ACN_ID = 4;
inline constexpr std::size_t OFF_ROOT_FLAGS_LENGTH = 16;
inline constexpr std::size_t OFF_ROOT_VECTOR = 18;
inline constexpr std::size_t OFF_CID = 22;
// Framing layer
inline constexpr std::size_t OFF_FRAMING_FLAGS_LENGTH = 38;
inline constexpr std::size_t OFF_FRAMING_VECTOR = 40;
inline constexpr std::size_t OFF_SOURCE_NAME = 44;
inline constexpr std::size_t OFF_PRIORITY = 108;
inline constexpr std::size_t OFF_SYNC_ADDRESS = 109;
inline constexpr std::size_t OFF_SEQUENCE = 111;
inline constexpr std::size_t OFF_OPTIONS = 112;
inline constexpr std::size_t OFF_UNIVERSE = 113;
// DMP layer
inline constexpr std::size_t OFF_DMP_FLAGS_LENGTH = 115;
inline constexpr std::size_t OFF_DMP_VECTOR = 117;
inline constexpr std::size_t OFF_ADDRESS_DATA_TYPE = 118;
inline constexpr std::size_t OFF_FIRST_ADDRESS = 119;
inline constexpr std::size_t OFF_ADDRESS_INCREMENT = 121;
inline constexpr std::size_t OFF_VALUE_COUNT = 123;
inline constexpr std::size_t OFF_START_CODE = 125;
inline constexpr std::size_t OFF_DATA = 126;
inline constexpr std::size_t DATA_PACKET_SIZE = OFF_DATA + DMX_UNIVERSE_SIZE;

// Universe discovery: framing, then the discovery layer with one universe.
inline constexpr std::size_t OFF_DISCOVERY_RESERVED = 108;
inline constexpr std::size_t OFF_DISCOVERY_FLAGS_LENGTH = 112;
inline constexpr std::size_t OFF_DISCOVERY_VECTOR = 114;
inline constexpr std::size_t OFF_DISCOVERY_PAGE = 118;
inline constexpr std::size_t OFF_DISCOVERY_LAST_PAGE = 119;
inline constexpr std::size_t OFF_DISCOVERY_UNIVERSES = 120;
inline constexpr std::size_t DISCOVERY_PACKET_SIZE = OFF_DISCOVERY_UNIVERSES + 2;

inline constexpr std::uint32_t VECTOR_ROOT_DATA = 0x00000004;
inline constexpr std::uint32_t VECTOR_ROOT_EXTENDED = 0x00000008;
inline constexpr std::uint32_t VECTOR_FRAMING_DATA = 0x00000002;
inline constexpr std::uint32_t VECTOR_FRAMING_DISCOVERY = 0x00000002;
inline constexpr std::uint32_t VECTOR_DISCOVERY_LIST = 0x00000001;
inline constexpr std::uint8_t VECTOR_DMP_SET_PROPERTY = 0x02;
inline constexpr std::uint8_t ADDRESS_DATA_TYPE = 0xA1;
inline constexpr std::uint8_t OPTION_STREAM_TERMINATED = 0x40;

using TCid = std::array<std::uint8_t, CID_SIZE>;
using TDataPacket = std::array<std::uint8_t, DATA_PACKET_SIZE>;
using TDiscoveryPacket = std::array<std::uint8_t, DISCOVERY_PACKET_SIZE>;

struct TSourceInfo {
    TCid cid{};
    std::string_view sourceName; // cut to 63 bytes on a character boundary
    std::uint8_t priority = DEFAULT_PRIORITY;
    std::uint16_t universe = 1;
};

// Writes every header field once; only sequence, options and levels change
// per frame.
void BuildDataPacket(TDataPacket& packet, const TSourceInfo& source);
void SetFrame(TDataPacket& packet, std::uint8_t sequence, std::uint8_t options, TLevelSpan levels);
void BuildDiscoveryPacket(TDiscoveryPacket& packet, const TSourceInfo& source);

} // namespace sacn
