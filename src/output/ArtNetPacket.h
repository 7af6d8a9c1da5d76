#pragma once
// Art-Net 4 packets: ArtDmx and ArtPollReply built into fixed buffers, and
// ArtPoll read from hostile bytes with every length checked.

#include "output/Output.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace artnet {

inline constexpr std::uint16_t PORT = 6454;
inline constexpr std::uint16_t OP_POLL = 0x2000;
inline constexpr std::uint16_t OP_POLL_REPLY = 0x2100;
inline constexpr std::uint16_t OP_DMX = 0x5000;
inline constexpr std::uint8_t PROTOCOL_VERSION = 14;
inline constexpr int MAX_NET = 127;
inline constexpr int MAX_SUB_NET = 15;
inline constexpr int MAX_UNIVERSE = 15;

// Common header
inline constexpr std::size_t OFF_ID = 0;
inline constexpr std::size_t ID_SIZE = 8;
inline constexpr std::size_t OFF_OPCODE = 8; // little-endian
inline constexpr std::size_t OFF_PROT_VER_HI = 10;
inline constexpr std::size_t OFF_PROT_VER_LO = 11;
// ArtDmx
inline constexpr std::size_t OFF_DMX_SEQUENCE = 12;
inline constexpr std::size_t OFF_DMX_PHYSICAL = 13;
inline constexpr std::size_t OFF_DMX_SUB_UNI = 14;
inline constexpr std::size_t OFF_DMX_NET = 15;
inline constexpr std::size_t OFF_DMX_LENGTH = 16; // big-endian
inline constexpr std::size_t OFF_DMX_DATA = 18;
inline constexpr std::size_t DMX_PACKET_SIZE = OFF_DMX_DATA + DMX_UNIVERSE_SIZE;
// ArtPoll
inline constexpr std::size_t OFF_POLL_FLAGS = 12;
inline constexpr std::size_t OFF_POLL_DIAG_PRIORITY = 13;
inline constexpr std::size_t OFF_POLL_TARGET_TOP = 14;    // big-endian
inline constexpr std::size_t OFF_POLL_TARGET_BOTTOM = 16; // big-endian
inline constexpr std::size_t POLL_MIN_SIZE = 14;
inline constexpr std::size_t POLL_TARGETED_SIZE = 18;
inline constexpr std::uint8_t POLL_FLAG_TARGETED = 0x20;
// ArtPollReply
inline constexpr std::size_t OFF_REPLY_IP = 10;
inline constexpr std::size_t OFF_REPLY_PORT = 14; // little-endian
inline constexpr std::size_t OFF_REPLY_VERSION = 16;
inline constexpr std::size_t OFF_REPLY_NET_SWITCH = 18;
inline constexpr std::size_t OFF_REPLY_SUB_SWITCH = 19;
inline constexpr std::size_t OFF_REPLY_OEM = 20; // big-endian
inline constexpr std::size_t OFF_REPLY_STATUS1 = 23;
inline constexpr std::size_t OFF_REPLY_ESTA = 24; // little-endian
inline constexpr std::size_t OFF_REPLY_SHORT_NAME = 26;
inline constexpr std::size_t SHORT_NAME_SIZE = 18;
inline constexpr std::size_t OFF_REPLY_LONG_NAME = 44;
inline constexpr std::size_t LONG_NAME_SIZE = 64;
inline constexpr std::size_t OFF_REPLY_NODE_REPORT = 108;
inline constexpr std::size_t NODE_REPORT_SIZE = 64;
inline constexpr std::size_t OFF_REPLY_NUM_PORTS = 172; // big-endian
inline constexpr std::size_t OFF_REPLY_PORT_TYPES = 174;
inline constexpr std::size_t OFF_REPLY_GOOD_INPUT = 178;
inline constexpr std::size_t OFF_REPLY_GOOD_OUTPUT = 182;
inline constexpr std::size_t OFF_REPLY_SW_IN = 186;
inline constexpr std::size_t OFF_REPLY_SW_OUT = 190;
inline constexpr std::size_t OFF_REPLY_STYLE = 200;
inline constexpr std::size_t OFF_REPLY_BIND_IP = 207;
inline constexpr std::size_t OFF_REPLY_BIND_INDEX = 211;
inline constexpr std::size_t OFF_REPLY_STATUS2 = 212;
inline constexpr std::size_t POLL_REPLY_SIZE = 239;

inline constexpr std::uint8_t PORT_TYPE_INPUT_DMX = 0x40; // sends DMX onto the network
inline constexpr std::uint8_t STYLE_CONTROLLER = 0x01;
// Status2: the node takes the whole 15-bit Port-Address, not only 8 bits.
inline constexpr std::uint8_t STATUS2_PORT_ADDRESS_15_BIT = 0x08;
inline constexpr std::uint16_t OEM_UNKNOWN = 0x00FF;
inline constexpr std::uint16_t ESTA_PROTOTYPE = 0x7FF0;

using TDmxPacket = std::array<std::uint8_t, DMX_PACKET_SIZE>;
using TPollReplyPacket = std::array<std::uint8_t, POLL_REPLY_SIZE>;

// The 15-bit port address: net in bits 14-8, sub-net 7-4, universe 3-0.
struct TPortAddress {
    int net = 0;
    int subNet = 0;
    int universe = 0;
    bool IsValid() const;
    std::uint16_t Value() const;
};

void BuildDmxPacket(TDmxPacket& packet, TPortAddress address);
void SetDmxFrame(TDmxPacket& packet, std::uint8_t sequence, TLevelSpan levels);

struct TArtPoll {
    std::uint8_t protocolVersion = 0;
    std::uint8_t flags = 0;
    std::uint8_t diagPriority = 0;
    bool targeted = false;
    std::uint16_t targetTop = 0x7FFF;
    std::uint16_t targetBottom = 0;
    // Whether a node answering for `address` is asked to reply.
    bool Covers(std::uint16_t address) const;
};

// nullopt for anything that is not a well-formed ArtPoll.
std::optional<TArtPoll> ParseArtPoll(std::span<const std::uint8_t> bytes);

struct TPollReplyInfo {
    std::uint32_t ip = 0; // host byte order
    TPortAddress address;
    std::string_view shortName;
    std::string_view longName;
    std::string_view nodeReport;
    bool sending = false;
};

void BuildPollReply(TPollReplyPacket& packet, const TPollReplyInfo& info);

} // namespace artnet
