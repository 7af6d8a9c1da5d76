#include "output/ArtNetPacket.h"

#include "output/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace artnet {
namespace {

constexpr std::uint8_t ART_NET_ID[ID_SIZE] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};

void PutHeader(std::uint8_t* p, std::uint16_t opcode) {
    std::memcpy(p + OFF_ID, ART_NET_ID, ID_SIZE);
    PutU16Le(p + OFF_OPCODE, opcode);
}

// A zero-terminated text field that never overruns its room.
void PutText(std::uint8_t* p, std::size_t room, std::string_view text) {
    std::memset(p, 0, room);
    std::memcpy(p, text.data(), std::min(text.size(), room - 1));
}

} // namespace

bool TPortAddress::IsValid() const {
    return net >= 0 && net <= MAX_NET && subNet >= 0 && subNet <= MAX_SUB_NET && universe >= 0 &&
           universe <= MAX_UNIVERSE;
}

std::uint16_t TPortAddress::Value() const {
    return static_cast<std::uint16_t>(((net & 0x7F) << 8) | ((subNet & 0xF) << 4) |
                                      (universe & 0xF));
}

void BuildDmxPacket(TDmxPacket& packet, TPortAddress address) {
    std::uint8_t* p = packet.data();
    packet.fill(0);
    PutHeader(p, OP_DMX);
    p[OFF_PROT_VER_HI] = 0;
    p[OFF_PROT_VER_LO] = PROTOCOL_VERSION;
    p[OFF_DMX_PHYSICAL] = 0;
    const std::uint16_t value = address.Value();
    p[OFF_DMX_SUB_UNI] = static_cast<std::uint8_t>(value & 0xFF);
    p[OFF_DMX_NET] = static_cast<std::uint8_t>(value >> 8);
    PutU16Be(p + OFF_DMX_LENGTH, DMX_UNIVERSE_SIZE);
}

void SetDmxFrame(TDmxPacket& packet, std::uint8_t sequence, TLevelSpan levels) {
    packet[OFF_DMX_SEQUENCE] = sequence;
    std::memcpy(packet.data() + OFF_DMX_DATA, levels.data(), levels.size());
}

bool TArtPoll::Covers(std::uint16_t address) const {
    return !targeted || (address >= targetBottom && address <= targetTop);
}

std::optional<TArtPoll> ParseArtPoll(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < POLL_MIN_SIZE) return std::nullopt;
    if (std::memcmp(bytes.data() + OFF_ID, ART_NET_ID, ID_SIZE) != 0) return std::nullopt;
    if (GetU16Le(bytes.data() + OFF_OPCODE) != OP_POLL) return std::nullopt;
    TArtPoll poll;
    poll.protocolVersion = bytes[OFF_PROT_VER_LO];
    if (bytes[OFF_PROT_VER_HI] != 0 || poll.protocolVersion < PROTOCOL_VERSION) return std::nullopt;
    poll.flags = bytes[OFF_POLL_FLAGS];
    poll.diagPriority = bytes[OFF_POLL_DIAG_PRIORITY];
    // Older controllers send the short form; the target range exists only
    // when the bytes are really there.
    if ((poll.flags & POLL_FLAG_TARGETED) != 0 && bytes.size() >= POLL_TARGETED_SIZE) {
        poll.targeted = true;
        poll.targetTop = GetU16Be(bytes.data() + OFF_POLL_TARGET_TOP);
        poll.targetBottom = GetU16Be(bytes.data() + OFF_POLL_TARGET_BOTTOM);
    }
    return poll;
}

void BuildPollReply(TPollReplyPacket& packet, const TPollReplyInfo& info) {
    std::uint8_t* p = packet.data();
    packet.fill(0);
    PutHeader(p, OP_POLL_REPLY);
    PutU32Be(p + OFF_REPLY_IP, info.ip);
    PutU16Le(p + OFF_REPLY_PORT, PORT);
    PutU16Be(p + OFF_REPLY_VERSION, 1);
    const std::uint16_t value = info.address.Value();
    p[OFF_REPLY_NET_SWITCH] = static_cast<std::uint8_t>(value >> 8);
    p[OFF_REPLY_SUB_SWITCH] = static_cast<std::uint8_t>((value >> 4) & 0xF);
    PutU16Be(p + OFF_REPLY_OEM, OEM_UNKNOWN);
    PutU16Le(p + OFF_REPLY_ESTA, ESTA_PROTOTYPE);
    PutText(p + OFF_REPLY_SHORT_NAME, SHORT_NAME_SIZE, info.shortName);
    PutText(p + OFF_REPLY_LONG_NAME, LONG_NAME_SIZE, info.longName);
    PutText(p + OFF_REPLY_NODE_REPORT, NODE_REPORT_SIZE, info.nodeReport);
    PutU16Be(p + OFF_REPLY_NUM_PORTS, 1);
    p[OFF_REPLY_PORT_TYPES] = PORT_TYPE_INPUT_DMX;
    p[OFF_REPLY_GOOD_INPUT] = info.sending ? 0x80 : 0x00;
    p[OFF_REPLY_SW_IN] = static_cast<std::uint8_t>(value & 0xF);
    p[OFF_REPLY_STYLE] = STYLE_CONTROLLER;
    PutU32Be(p + OFF_REPLY_BIND_IP, info.ip);
    p[OFF_REPLY_BIND_INDEX] = 1;
    p[OFF_REPLY_STATUS2] = STATUS2_PORT_ADDRESS_15_BIT;
}

} // namespace artnet
