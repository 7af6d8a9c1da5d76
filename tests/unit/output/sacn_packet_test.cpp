// The sACN data and discovery packets, byte by byte.

#include "output/Cid.h"
#include "output/SacnGroups.h"
#include "output/SacnPacket.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

sacn::TSourceInfo Source() {
    sacn::TSourceInfo info;
    for (std::size_t i = 0; i < info.cid.size(); ++i)
        info.cid[i] = static_cast<std::uint8_t>(i + 1);
    info.sourceName = "Vantrelle";
    info.priority = 150;
    info.universe = 0x1234;
    return info;
}

std::array<std::uint8_t, DMX_UNIVERSE_SIZE> Ramp() {
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> levels{};
    for (int i = 0; i < DMX_UNIVERSE_SIZE; ++i)
        levels[i] = static_cast<std::uint8_t>(i * 7);
    return levels;
}

TEST(SacnPacket, DataPacketHeaderBytes) {
    sacn::TDataPacket p{};
    sacn::BuildDataPacket(p, Source());
    const auto levels = Ramp();
    sacn::SetFrame(p, 0x5A, 0, TLevelSpan(levels));

    ASSERT_EQ(p.size(), 638u);
    const std::uint8_t root[] = {0x00, 0x10, 0x00, 0x00, 'A',  'S',  'C',  '-',  'E',  '1',  '.',
                                 '1',  '7',  0x00, 0x00, 0x00, 0x72, 0x6E, 0x00, 0x00, 0x00, 0x04};
    EXPECT_EQ(std::memcmp(p.data(), root, sizeof root), 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p[22 + i], i + 1) << "CID byte " << i;
    // Framing layer: length 600, vector 2.
    const std::uint8_t framing[] = {0x72, 0x58, 0x00, 0x00, 0x00, 0x02};
    EXPECT_EQ(std::memcmp(p.data() + 38, framing, sizeof framing), 0);
    EXPECT_EQ(std::memcmp(p.data() + 44, "Vantrelle\0", 10), 0);
    for (int i = 44 + 9; i < 108; ++i)
        EXPECT_EQ(p[i], 0) << "name padding at " << i;
    EXPECT_EQ(p[108], 150); // priority
    EXPECT_EQ(p[109], 0);   // sync address
    EXPECT_EQ(p[110], 0);
    EXPECT_EQ(p[111], 0x5A); // sequence
    EXPECT_EQ(p[112], 0);    // options
    EXPECT_EQ(p[113], 0x12); // universe, big-endian
    EXPECT_EQ(p[114], 0x34);
    // DMP layer: length 523, set property, 0xa1, first 0, increment 1, count 513.
    const std::uint8_t dmp[] = {0x72, 0x0B, 0x02, 0xA1, 0x00, 0x00, 0x00, 0x01, 0x02, 0x01, 0x00};
    EXPECT_EQ(std::memcmp(p.data() + 115, dmp, sizeof dmp), 0);
    EXPECT_EQ(std::memcmp(p.data() + 126, levels.data(), levels.size()), 0);
}

TEST(SacnPacket, TerminationSetsOnlyTheOptionBit) {
    sacn::TDataPacket p{};
    sacn::BuildDataPacket(p, Source());
    const auto levels = Ramp();
    sacn::SetFrame(p, 9, sacn::OPTION_STREAM_TERMINATED, TLevelSpan(levels));
    EXPECT_EQ(p[sacn::OFF_OPTIONS], 0x40);
    EXPECT_EQ(p[sacn::OFF_SEQUENCE], 9);
}

TEST(SacnPacket, PriorityAboveTheMaximumIsClamped) {
    auto info = Source();
    info.priority = 255;
    sacn::TDataPacket p{};
    sacn::BuildDataPacket(p, info);
    EXPECT_EQ(p[sacn::OFF_PRIORITY], 200);
}

TEST(SacnPacket, LongSourceNameIsCutOnACharacterBoundaryAndTerminated) {
    // 62 ASCII bytes then a 2-byte character that would straddle byte 63.
    std::string name(62, 'x');
    name += "\xC3\xA9";
    auto info = Source();
    info.sourceName = name;
    sacn::TDataPacket p{};
    sacn::BuildDataPacket(p, info);
    EXPECT_EQ(p[sacn::OFF_SOURCE_NAME + 61], 'x');
    EXPECT_EQ(p[sacn::OFF_SOURCE_NAME + 62], 0);
    EXPECT_EQ(p[sacn::OFF_SOURCE_NAME + 63], 0);
}

TEST(SacnPacket, DiscoveryPacketBytes) {
    sacn::TDiscoveryPacket p{};
    sacn::BuildDiscoveryPacket(p, Source());
    ASSERT_EQ(p.size(), 122u);
    // Root: length 106, extended vector 8.
    const std::uint8_t root[] = {0x70, 0x6A, 0x00, 0x00, 0x00, 0x08};
    EXPECT_EQ(std::memcmp(p.data() + 16, root, sizeof root), 0);
    // Framing: length 84, discovery vector 2.
    const std::uint8_t framing[] = {0x70, 0x54, 0x00, 0x00, 0x00, 0x02};
    EXPECT_EQ(std::memcmp(p.data() + 38, framing, sizeof framing), 0);
    EXPECT_EQ(std::memcmp(p.data() + 44, "Vantrelle\0", 10), 0);
    // Reserved, then the list layer: length 10, vector 1, page 0 of 0, universe.
    const std::uint8_t list[] = {0, 0, 0, 0, 0x70, 0x0A, 0, 0, 0, 1, 0, 0, 0x12, 0x34};
    EXPECT_EQ(std::memcmp(p.data() + 108, list, sizeof list), 0);
}

// Both packets start with one header: the root layer and the framing layer up
// to the source name, with each layer's length counted to its own packet's end.
TEST(SacnPacket, DataAndDiscoveryPacketsShareTheirHeader) {
    auto info = Source();
    info.sourceName = "Front of house";
    sacn::TDataPacket data{};
    sacn::BuildDataPacket(data, info);
    sacn::TDiscoveryPacket discovery{};
    sacn::BuildDiscoveryPacket(discovery, info);

    EXPECT_EQ(std::memcmp(data.data(), discovery.data(), sacn::OFF_ROOT_FLAGS_LENGTH), 0)
        << "preamble, postamble and packet identifier";
    EXPECT_EQ(
        std::memcmp(data.data() + sacn::OFF_CID, discovery.data() + sacn::OFF_CID, sacn::CID_SIZE),
        0);
    EXPECT_EQ(std::memcmp(data.data() + sacn::OFF_FRAMING_VECTOR,
                          discovery.data() + sacn::OFF_FRAMING_VECTOR, 4),
              0);
    EXPECT_EQ(std::memcmp(data.data() + sacn::OFF_SOURCE_NAME,
                          discovery.data() + sacn::OFF_SOURCE_NAME, sacn::SOURCE_NAME_SIZE),
              0);
    EXPECT_EQ(discovery[sacn::OFF_ROOT_VECTOR + 3], 0x08);
    EXPECT_EQ(data[sacn::OFF_ROOT_VECTOR + 3], 0x04);
    // Root: 638 - 16 and 122 - 16; framing: 638 - 38 and 122 - 38.
    EXPECT_EQ(data[sacn::OFF_ROOT_FLAGS_LENGTH + 1], 0x6E);
    EXPECT_EQ(discovery[sacn::OFF_ROOT_FLAGS_LENGTH + 1], 0x6A);
    EXPECT_EQ(data[sacn::OFF_FRAMING_FLAGS_LENGTH + 1], 0x58);
    EXPECT_EQ(discovery[sacn::OFF_FRAMING_FLAGS_LENGTH + 1], 0x54);
}

// The output builds its packets again on every start, into buffers that
// still hold the last frame.
TEST(SacnPacket, ABufferThatHeldAnotherPacketIsBuiltAsAFreshOne) {
    auto info = Source();
    info.sourceName = "A";
    sacn::TDataPacket fresh{};
    sacn::BuildDataPacket(fresh, info);
    sacn::TDataPacket reused;
    reused.fill(0xEE);
    sacn::BuildDataPacket(reused, info);
    EXPECT_EQ(std::memcmp(reused.data(), fresh.data(), sacn::OFF_SEQUENCE), 0);
    EXPECT_EQ(std::memcmp(reused.data() + sacn::OFF_UNIVERSE, fresh.data() + sacn::OFF_UNIVERSE,
                          sacn::OFF_DATA - sacn::OFF_UNIVERSE),
              0);

    sacn::TDiscoveryPacket freshDiscovery{};
    sacn::BuildDiscoveryPacket(freshDiscovery, info);
    sacn::TDiscoveryPacket reusedDiscovery;
    reusedDiscovery.fill(0xEE);
    sacn::BuildDiscoveryPacket(reusedDiscovery, info);
    EXPECT_EQ(reusedDiscovery, freshDiscovery);
}

TEST(Cid, TextRoundTripAndStrictForm) {
    const sacn::TCid cid = GenerateCid();
    const std::string text = CidToText(cid);
    ASSERT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4'); // random UUID version
    EXPECT_EQ(CidFromText(text), cid);
    EXPECT_FALSE(CidFromText(text.substr(1)));
    EXPECT_FALSE(CidFromText("0123456789abcdef0123456789abcdef0123"));
    std::string shifted = text;
    std::swap(shifted[8], shifted[9]);
    EXPECT_FALSE(CidFromText(shifted)) << "dash in the wrong place";
    std::string bad = text;
    bad[0] = 'g';
    EXPECT_FALSE(CidFromText(bad));
}

TEST(Cid, TwoInstallationsGetDifferentIds) {
    EXPECT_NE(GenerateCid(), GenerateCid());
}

} // namespace

TEST(SacnGroups, UniverseAndDiscoveryGroups) {
    EXPECT_EQ(SacnMulticastGroup(1).ToString(), "239.255.0.1");
    EXPECT_EQ(SacnMulticastGroup(63999).ToString(), "239.255.249.255");
    EXPECT_EQ(SacnDiscoveryGroup().ToString(), "239.255.250.214");
    EXPECT_TRUE(SacnMulticastGroup(300).IsMulticast());
    EXPECT_FALSE(ParseIpv4("127.0.0.1")->IsMulticast());
    EXPECT_TRUE(ParseIpv4("127.0.0.1")->IsLoopback());
}
