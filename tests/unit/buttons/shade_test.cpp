#include <gtest/gtest.h>

#include "buttons/Border.h"
#include "buttons/Shade.h"

namespace {

TEST(Hls, GreyHasNoSaturationAndUndefinedHue) {
    EXPECT_EQ(RgbToHls(0xC0C0C0), (ToxHls{160, 181, 0}));
    EXPECT_EQ(RgbToHls(0x000000), (ToxHls{160, 0, 0}));
    EXPECT_EQ(RgbToHls(0xFFFFFF), (ToxHls{160, 240, 0}));
}

TEST(Hls, PrimariesOnTheWheel) {
    EXPECT_EQ(RgbToHls(RGB(255, 0, 0)), (ToxHls{0, 120, 240}));
    EXPECT_EQ(RgbToHls(RGB(0, 255, 0)), (ToxHls{80, 120, 240}));
    EXPECT_EQ(RgbToHls(RGB(0, 0, 255)), (ToxHls{160, 120, 240}));
}

TEST(Hls, RoundTripKeepsColoursClose) {
    for (TColor c :
         {0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0xFF0000, 0x336699, 0xCCC7AC, 0x1A42FF}) {
        const TColor back = HlsToRgb(RgbToHls(c));
        EXPECT_NEAR(GetRValue(back), GetRValue(c), 2) << std::hex << c;
        EXPECT_NEAR(GetGValue(back), GetGValue(c), 2) << std::hex << c;
        EXPECT_NEAR(GetBValue(back), GetBValue(c), 2) << std::hex << c;
    }
}

struct ShadeCase {
    const char* name;
    int amount;
    int grey; // the result for silver, in each channel
};

class ShadeSilver : public ::testing::TestWithParam<ShadeCase> {};

TEST_P(ShadeSilver, Lightness) {
    const TColor out = ShadeColor(0xC0C0C0, GetParam().amount);
    EXPECT_EQ(out, RGB(GetParam().grey, GetParam().grey, GetParam().grey));
}

// Silver has lightness 181.
INSTANTIATE_TEST_SUITE_P(
    Amounts, ShadeSilver,
    ::testing::Values(ShadeCase{"zeroLeavesColour", 0, 192},
                      ShadeCase{"smallUpScalesRoomAbove", 2, 207},    // 181 + 2 * 7
                      ShadeCase{"smallDownScalesLightness", -2, 145}, // 181 - 2 * 22
                      ShadeCase{"largeUpAddsDirectly", 20, 213},      // 201
                      ShadeCase{"largeDownAddsDirectly", -20, 171},   // 161
                      ShadeCase{"clampedAtWhite", 100, 255}, ShadeCase{"clampedAtBlack", -200, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Shade, MemoForgetsOnOtherAmount) {
    const TColor first = ShadeColor(0x336699, 3);
    ShadeColor(0x336699, -3);
    EXPECT_EQ(ShadeColor(0x336699, 3), first);
}

TEST(RelativeShade, EncodesSignedAmount) {
    EXPECT_TRUE(IsRelativeShade(RelativeShade(-4)));
    EXPECT_EQ(RelativeShadeAmount(RelativeShade(-4)), -4);
    EXPECT_EQ(RelativeShadeAmount(RelativeShade(6)), 6);
    EXPECT_EQ(RelativeShade(0), static_cast<TColor>(0x30000100));
    EXPECT_FALSE(IsRelativeShade(clBtnFace));
    EXPECT_FALSE(IsRelativeShade(clNone));
}

TEST(BevelColors, ByChoice) {
    const ToxBevelColors win = BevelColorsFor(ToxBorderColors::oxbWinColor, 0xC0C0C0);
    EXPECT_EQ(win.Light, cl3DLight);
    EXPECT_EQ(win.Highlight, clBtnHighlight);
    EXPECT_EQ(win.Shadow, clBtnShadow);
    EXPECT_EQ(win.DkShadow, cl3DDkShadow);
    EXPECT_EQ(win.ShadowColor, clBtnShadow);
    const ToxBevelColors autoColor = BevelColorsFor(ToxBorderColors::oxbAutoColor, 0xC0C0C0);
    EXPECT_EQ(autoColor.Light, ShadeColor(0xC0C0C0, 2));
    EXPECT_EQ(autoColor.DkShadow, ShadeColor(0xC0C0C0, -4));
    EXPECT_EQ(autoColor.ShadowColor, autoColor.DkShadow);
    const ToxBevelColors shade = BevelColorsFor(ToxBorderColors::oxbAutoShade, 0xC0C0C0);
    EXPECT_EQ(RelativeShadeAmount(shade.Highlight), 6);
    EXPECT_EQ(RelativeShadeAmount(shade.Shadow), -4);
}

} // namespace
