// ArtDmx and ArtPollReply byte by byte; ArtPoll parsing of good and hostile input.

#include "output/ArtNetPacket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> Poll(std::uint8_t flags = 0, std::size_t size = 14) {
    std::vector<std::uint8_t> p = {'A', 'r',  't',  '-', 'N', 'e',   't',
                                   0,   0x00, 0x20, 0,   14,  flags, 0};
    p.resize(size, 0);
    return p;
}

TEST(ArtNetPacket, PortAddressPacksNetSubNetAndUniverse) {
    EXPECT_EQ((artnet::TPortAddress{0, 0, 0}.Value()), 0x0000);
    EXPECT_EQ((artnet::TPortAddress{1, 2, 3}.Value()), 0x0123);
    EXPECT_EQ((artnet::TPortAddress{127, 15, 15}.Value()), 0x7FFF);
    EXPECT_FALSE((artnet::TPortAddress{128, 0, 0}.IsValid()));
    EXPECT_FALSE((artnet::TPortAddress{0, 16, 0}.IsValid()));
    EXPECT_FALSE((artnet::TPortAddress{0, 0, -1}.IsValid()));
}

TEST(ArtNetPacket, DmxPacketBytes) {
    artnet::TDmxPacket p{};
    artnet::BuildDmxPacket(p, {0x45, 0x6, 0x7});
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> levels{};
    levels[0] = 1;
    levels[511] = 255;
    artnet::SetDmxFrame(p, 200, TLevelSpan(levels));
    ASSERT_EQ(p.size(), 530u);
    const std::uint8_t header[] = {'A',  'r',  't', '-', 'N', 'e',  't',  0,    0x00,
                                   0x50, 0x00, 14,  200, 0,   0x67, 0x45, 0x02, 0x00};
    EXPECT_EQ(std::memcmp(p.data(), header, sizeof header), 0);
    EXPECT_EQ(p[18], 1);
    EXPECT_EQ(p[529], 255);
    EXPECT_EQ(p.size() % 2, 0u) << "length must be even";
}

struct TPollCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool accepted;
};

class ArtPollParse : public ::testing::TestWithParam<TPollCase> {};

TEST_P(ArtPollParse, AcceptsOnlyWellFormedPolls) {
    const auto& c = GetParam();
    EXPECT_EQ(artnet::ParseArtPoll(c.bytes).has_value(), c.accepted);
}

std::vector<std::uint8_t> With(std::vector<std::uint8_t> p, std::size_t at, std::uint8_t v) {
    p[at] = v;
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArtPollParse,
    ::testing::Values(TPollCase{"ShortForm", Poll(), true},
                      TPollCase{"ArtNet4Form", Poll(0, 22), true}, TPollCase{"Empty", {}, false},
                      TPollCase{"OneByteShort", Poll(0, 13), false},
                      TPollCase{"WrongId", With(Poll(), 3, '_'), false},
                      TPollCase{"IdWithoutTerminator", With(Poll(), 7, 'x'), false},
                      TPollCase{"ArtDmxOpCode", With(Poll(), 9, 0x50), false},
                      TPollCase{"OpCodeBigEndian", With(With(Poll(), 8, 0x20), 9, 0), false},
                      TPollCase{"OldProtocol", With(Poll(), 11, 13), false},
                      TPollCase{"HighVersionByte", With(Poll(), 10, 1), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArtPoll, TargetedRangeReadOnlyWhenPresent) {
    auto full = Poll(artnet::POLL_FLAG_TARGETED, 18);
    full[14] = 0x01; // top 0x0110
    full[15] = 0x10;
    full[16] = 0x01; // bottom 0x0100
    full[17] = 0x00;
    const auto poll = artnet::ParseArtPoll(full);
    ASSERT_TRUE(poll);
    EXPECT_TRUE(poll->targeted);
    EXPECT_TRUE(poll->Covers(0x0105));
    EXPECT_FALSE(poll->Covers(0x0000));
    EXPECT_FALSE(poll->Covers(0x0111));

    // Flag set but the bytes cut off: treated as untargeted, nothing read past the end.
    const auto cut = artnet::ParseArtPoll(Poll(artnet::POLL_FLAG_TARGETED, 16));
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->targeted);
    EXPECT_TRUE(cut->Covers(0x7FFF));
}

TEST(ArtNetPacket, PollReplyBytes) {
    artnet::TPollReplyPacket p{};
    artnet::TPollReplyInfo info;
    info.ip = 0xC0000201; // 192.0.2.1
    info.address = {0x12, 0x3, 0x4};
    info.shortName = "Vantrelle";
    info.longName = std::string_view("L");
    info.nodeReport = "#0001 [0000] ok";
    info.sending = true;
    artnet::BuildPollReply(p, info);
    ASSERT_EQ(p.size(), 239u);
    const std::uint8_t head[] = {'A',  'r',  't', '-', 'N', 'e', 't',  0,
                                 0x00, 0x21, 192, 0,   2,   1,   0x36, 0x19};
    EXPECT_EQ(std::memcmp(p.data(), head, sizeof head), 0);
    EXPECT_EQ(p[18], 0x12); // net switch
    EXPECT_EQ(p[19], 0x3);  // sub switch
    EXPECT_EQ(p[20], 0x00); // OEM, big-endian
    EXPECT_EQ(p[21], 0xFF);
    EXPECT_EQ(p[24], 0xF0); // ESTA code, little-endian
    EXPECT_EQ(p[25], 0x7F);
    EXPECT_EQ(std::memcmp(p.data() + 26, "Vantrelle\0", 10), 0);
    EXPECT_EQ(p[44], 'L');
    EXPECT_EQ(p[45], 0);
    EXPECT_EQ(p[172], 0); // one port
    EXPECT_EQ(p[173], 1);
    EXPECT_EQ(p[174], 0x40); // can send DMX onto the network
    EXPECT_EQ(p[178], 0x80); // data flowing
    EXPECT_EQ(p[186], 0x4);  // universe of the input port
    EXPECT_EQ(p[200], 0x01); // a controller
    EXPECT_EQ(p[207], 192);
    EXPECT_EQ(p[211], 1);
    EXPECT_EQ(p[212], 0x08); // Status2: takes the whole 15-bit Port-Address
}

TEST(ArtNetPacket, PollReplyNamesNeverOverrunTheirFields) {
    artnet::TPollReplyPacket p{};
    artnet::TPollReplyInfo info;
    const std::string longText(300, 'z');
    info.shortName = longText;
    info.longName = longText;
    info.nodeReport = longText;
    artnet::BuildPollReply(p, info);
    EXPECT_EQ(p[26 + 17], 0);
    EXPECT_EQ(p[44 + 63], 0);
    EXPECT_EQ(p[108 + 63], 0);
    EXPECT_EQ(p[172], 0) << "the port count after the report is intact";
    EXPECT_EQ(p[173], 1);
}

} // namespace
