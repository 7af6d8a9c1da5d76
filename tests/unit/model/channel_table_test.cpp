#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "model/ChannelTable.h"

namespace {

const std::uint8_t* Bytes(const TChannelTable& t) {
    return reinterpret_cast<const std::uint8_t*>(&t);
}

std::int32_t Int32At(const TChannelTable& t, std::size_t offset) {
    std::int32_t v;
    std::memcpy(&v, Bytes(t) + offset, 4);
    return v;
}

// A table full of 0xAB, as if a file of junk had been read into it.
std::unique_ptr<TChannelTable> Scribbled() {
    auto t = std::make_unique<TChannelTable>();
    std::memset(t.get(), 0xAB, sizeof *t);
    return t;
}

TEST(ChannelTable, ClearChannelsResetsEveryFieldAtItsFileOffset) {
    auto t = Scribbled();
    ClearChannels(*t);

    EXPECT_EQ(Int32At(*t, 0), static_cast<std::int32_t>(0xABABABAB)) << "SaveMark is left alone";
    EXPECT_EQ(Int32At(*t, 4), 1) << "NewMark";
    for (std::size_t i = 8; i < 3592; ++i)
        ASSERT_EQ(Bytes(*t)[i], 0) << "byte " << i;
    for (std::size_t field : {3592u, 10248u, 16904u})
        for (std::size_t k = 0; k < 512; ++k) {
            ASSERT_EQ(Bytes(*t)[field + 13 * k], 0) << "caption length at " << field + 13 * k;
            ASSERT_EQ(Bytes(*t)[field + 13 * k + 1], 0xAB) << "caption characters are kept";
        }
    const struct {
        std::size_t offset;
        std::int32_t value;
    } colours[] = {{23560, 0x808080},
                   {25608, 0xC0C0C0},
                   {27656, 0xC0C0C0},
                   {29704, 0x808080},
                   {31752, 0x800000}};
    for (const auto& c : colours)
        for (std::size_t k = 0; k < 512; ++k)
            ASSERT_EQ(Int32At(*t, c.offset + 4 * k), c.value);
}

TEST(ChannelTable, ChannelNumbersAddressTheirElements) {
    auto t = Scribbled();
    ClearChannels(*t);
    t->LevelOf(1) = 11;
    t->LevelOf(512) = 12;
    t->BumpOf(33) = 1;
    t->FaderColorOf(2) = 0x0080FF;
    EXPECT_EQ(Bytes(*t)[8], 11);
    EXPECT_EQ(Bytes(*t)[8 + 511], 12);
    EXPECT_EQ(Bytes(*t)[520 + 32], 1);
    EXPECT_EQ(Int32At(*t, 23560 + 4), 0x0080FF);
    t->Name2Of(3).Assign("ab");
    EXPECT_EQ(Bytes(*t)[10248 + 26], 2);
    EXPECT_EQ(Bytes(*t)[10248 + 27], 'a');
}

TEST(ChannelTable, ShortenedCaptionKeepsTheBytesBehindItsLength) {
    TShortString12 s{};
    std::memset(&s, 0xEE, sizeof s);
    s.Assign("ABCDEFGH");
    s.Assign("XY");
    EXPECT_EQ(s.Length, 2);
    EXPECT_EQ(std::string(s.Chars, 8), "XYCDEFGH");
    EXPECT_EQ(static_cast<std::uint8_t>(s.Chars[8]), 0xEE);
    EXPECT_EQ(s.Text(), "XY");
}

TEST(ChannelTable, CaptionIsCutToTwelveCharacters) {
    TShortString12 s{};
    s.Assign("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(s.Length, 12);
    EXPECT_EQ(s.Text(), "ABCDEFGHIJKL");
}

TEST(ChannelTable, ALengthByteBeyondTwelveReadsOnlyTheTwelveCharacters) {
    TShortString12 s{};
    s.Length = 200; // from a hostile file
    std::memset(s.Chars, 'Z', sizeof s.Chars);
    EXPECT_EQ(s.Text(), std::string(12, 'Z'));
}

TEST(ChannelTable, SlotsAndPagesMapToChannels) {
    EXPECT_EQ(ChannelOfSlot(1, 1), 33);
    EXPECT_EQ(ChannelOfSlot(15, 32), 512);
    EXPECT_EQ(ChannelOfSlot(0, 1), 1);
    EXPECT_EQ(SlotOfChannel(1, 33), 1);
    EXPECT_EQ(SlotOfChannel(15, 512), 32);
    EXPECT_EQ(SlotOfChannel(0, 33), 0) << "channel on another page";
}

TEST(ChannelTable, IndicesOutsideTheirRangeRaiseInsteadOfTouchingMemory) {
    auto t = std::make_unique<TChannelTable>();
    EXPECT_THROW(t->LevelOf(0), std::out_of_range);
    EXPECT_THROW(t->LevelOf(513), std::out_of_range);
    EXPECT_THROW(t->BumpOf(-1), std::out_of_range);
    EXPECT_THROW(t->Name1Of(600), std::out_of_range);
    EXPECT_THROW(ChannelOfSlot(0, 0), std::out_of_range);
    EXPECT_THROW(ChannelOfSlot(0, 33), std::out_of_range);
    EXPECT_THROW(ChannelOfSlot(16, 1), std::out_of_range);
    EXPECT_THROW(ChannelOfSlot(-1, 1), std::out_of_range);
    EXPECT_THROW(CheckLevel(256), std::out_of_range);
}

} // namespace
