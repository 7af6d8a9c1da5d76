#include <gtest/gtest.h>

#include "model/PageColors.h"

namespace {

constexpr TPagePalette kPalette{0x808080, 0xC0C0C0, 0x0080FF, 0x00FFFF};

TChannelTable Cleared() {
    TChannelTable table{};
    ClearChannels(table);
    return table;
}

struct ColorCase {
    const char* name;
    bool shown;
    bool live;
    TColor expected;
};

class PageColorRule : public ::testing::TestWithParam<ColorCase> {};

TEST_P(PageColorRule, FollowsShownAndLive) {
    const ColorCase& c = GetParam();
    EXPECT_EQ(PageColor(kPalette, c.shown, c.live), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PageColorRule,
                         ::testing::Values(ColorCase{"ShownLiveIsYellow", true, true, 0x00FFFF},
                                           ColorCase{"ShownQuietIsSilver", true, false, 0xC0C0C0},
                                           ColorCase{"OtherLiveIsOrange", false, true, 0x0080FF},
                                           ColorCase{"OtherQuietIsGray", false, false, 0x808080}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageIsLive, OnlyLevelsOfThatPageCount) {
    TChannelTable table = Cleared();
    table.LevelOf(33) = 1; // first channel of page 2
    table.LevelOf(96) = 7; // last channel of page 3
    EXPECT_FALSE(PageIsLive(table, 1));
    EXPECT_TRUE(PageIsLive(table, 2));
    EXPECT_TRUE(PageIsLive(table, 3));
    EXPECT_FALSE(PageIsLive(table, 4));
}

TEST(PageIsLive, BumpStatesAreNotConsulted) {
    TChannelTable table = Cleared();
    table.BumpOf(40) = 1;
    EXPECT_FALSE(PageIsLive(table, 2));
}

TEST(PageIsLive, PageOutsideRaises) {
    const TChannelTable table = Cleared();
    EXPECT_THROW(PageIsLive(table, 0), std::out_of_range);
    EXPECT_THROW(PageIsLive(table, 17), std::out_of_range);
}

TEST(PageColors, ShownPageAndLivePagesAcrossTheBank) {
    TChannelTable table = Cleared();
    table.LevelOf(1) = 200;                             // page 1, not shown
    table.LevelOf(512) = 255;                           // page 16
    const auto colors = PageColors(table, 1, kPalette); // page 2 shown
    EXPECT_EQ(colors[1], 0x0080FFu);
    EXPECT_EQ(colors[2], 0xC0C0C0u);
    EXPECT_EQ(colors[16], 0x0080FFu);
    for (int p = 3; p <= 15; ++p)
        EXPECT_EQ(colors[static_cast<std::size_t>(p)], 0x808080u) << "page " << p;
}

TEST(PageColors, CurrentPageOutsideRaises) {
    const TChannelTable table = Cleared();
    EXPECT_THROW(PageColors(table, 16, kPalette), std::out_of_range);
}

} // namespace
