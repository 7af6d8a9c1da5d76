#include "output/SacnPacket.h"

#include "output/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace sacn {
namespace {

constexpr std::uint8_t ACN_PACKET_ID[12] = {0x41, 0x53, 0x43, 0x2D, 0x45, 0x31,
                                            0x2E, 0x31, 0x37, 0x00, 0x00, 0x00};
constexpr std::uint16_t PREAMBLE_SIZE = 0x0010;
constexpr std::uint16_t FLAGS = 0x7000;

// Flags and length of a layer that runs from `offset` to the end of the packet.
void PutFlagsLength(std::uint8_t* packet, std::size_t offset, std::size_t packetSize) {
    PutU16Be(packet + offset, static_cast<std::uint16_t>(FLAGS | (packetSize - offset)));
}

// UTF-8 cut so that a multi-byte character is never split and a zero always ends it.
void PutSourceName(std::uint8_t* p, std::string_view name) {
    std::size_t n = std::min(name.size(), SOURCE_NAME_SIZE - 1);
    while (n > 0 && n < name.size() && (static_cast<std::uint8_t>(name[n]) & 0xC0) == 0x80)
        --n;
    std::memset(p + OFF_SOURCE_NAME, 0, SOURCE_NAME_SIZE);
    std::memcpy(p + OFF_SOURCE_NAME, name.data(), n);
}

// Clears the packet and writes what every packet of ours starts with: the
// root layer and the framing layer up to its source name.
template <std::size_t Size>
std::uint8_t* BuildHeader(std::array<std::uint8_t, Size>& packet, std::uint32_t rootVector,
                          std::uint32_t framingVector, const TSourceInfo& source) {
    std::uint8_t* p = packet.data();
    packet.fill(0);
    PutU16Be(p + OFF_PREAMBLE_SIZE, PREAMBLE_SIZE);
    PutU16Be(p + OFF_POSTAMBLE_SIZE, 0);
    std::memcpy(p + OFF_ACN_ID, ACN_PACKET_ID, sizeof ACN_PACKET_ID);
    PutFlagsLength(p, OFF_ROOT_FLAGS_LENGTH, Size);
    PutU32Be(p + OFF_ROOT_VECTOR, rootVector);
    std::memcpy(p + OFF_CID, source.cid.data(), source.cid.size());
    PutFlagsLength(p, OFF_FRAMING_FLAGS_LENGTH, Size);
    PutU32Be(p + OFF_FRAMING_VECTOR, framingVector);
    PutSourceName(p, source.sourceName);
    return p;
}

} // namespace

void BuildDataPacket(TDataPacket& packet, const TSourceInfo& source) {
    std::uint8_t* p = BuildHeader(packet, VECTOR_ROOT_DATA, VECTOR_FRAMING_DATA, source);
    p[OFF_PRIORITY] = std::min(source.priority, MAX_PRIORITY);
    PutU16Be(p + OFF_SYNC_ADDRESS, 0);
    PutU16Be(p + OFF_UNIVERSE, source.universe);
    PutFlagsLength(p, OFF_DMP_FLAGS_LENGTH, DATA_PACKET_SIZE);
    p[OFF_DMP_VECTOR] = VECTOR_DMP_SET_PROPERTY;
    p[OFF_ADDRESS_DATA_TYPE] = ADDRESS_DATA_TYPE;
    PutU16Be(p + OFF_FIRST_ADDRESS, 0);
    PutU16Be(p + OFF_ADDRESS_INCREMENT, 1);
    PutU16Be(p + OFF_VALUE_COUNT, DMX_UNIVERSE_SIZE + 1);
    p[OFF_START_CODE] = 0;
}

void SetFrame(TDataPacket& packet, std::uint8_t sequence, std::uint8_t options, TLevelSpan levels) {
    packet[OFF_SEQUENCE] = sequence;
    packet[OFF_OPTIONS] = options;
    std::memcpy(packet.data() + OFF_DATA, levels.data(), levels.size());
}

void BuildDiscoveryPacket(TDiscoveryPacket& packet, const TSourceInfo& source) {
    std::uint8_t* p = BuildHeader(packet, VECTOR_ROOT_EXTENDED, VECTOR_FRAMING_DISCOVERY, source);
    PutU32Be(p + OFF_DISCOVERY_RESERVED, 0);
    PutFlagsLength(p, OFF_DISCOVERY_FLAGS_LENGTH, DISCOVERY_PACKET_SIZE);
    PutU32Be(p + OFF_DISCOVERY_VECTOR, VECTOR_DISCOVERY_LIST);
    p[OFF_DISCOVERY_PAGE] = 0;
    p[OFF_DISCOVERY_LAST_PAGE] = 0;
    PutU16Be(p + OFF_DISCOVERY_UNIVERSES, source.universe);
}

} // namespace sacn
