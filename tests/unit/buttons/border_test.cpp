// The border table: which bevel colour each ring of each style shows.
#include <string>

#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>

#include "buttons/Border.h"
#include "buttons/Canvas.h"

namespace {

// Distinct colours, one letter each; '.' is the untouched fill.
constexpr TColor kL = RGB(10, 0, 0), kH = RGB(20, 0, 0), kS = RGB(30, 0, 0), kD = RGB(40, 0, 0);
constexpr TColor kFill = RGB(99, 0, 0);

char Letter(QRgb p) {
    switch (qRed(p)) {
    case 10:
        return 'L';
    case 20:
        return 'H';
    case 30:
        return 'S';
    case 40:
        return 'D';
    case 99:
        return '.';
    default:
        return '?';
    }
}

struct BorderCase {
    const char* name;
    ToxBtnStyle style;
    bool pressed, value, framed, hot;
    const char* left;  // rings 0..3 along the left edge, mid-height
    const char* right; // rings 0..3 along the right edge, mid-height
};

class BorderTable : public ::testing::TestWithParam<BorderCase> {};

TEST_P(BorderTable, Rings) {
    const BorderCase& c = GetParam();
    QImage image(12, 12, QImage::Format_RGB32);
    ToxCanvas canvas(image, QPalette());
    canvas.FillRect(image.rect(), kFill);
    ToxBevelColors colors{kL, kH, kS, kD, kS};
    ToxBorderState s;
    s.Pressed = c.pressed;
    s.Value = c.value;
    s.Framed = c.framed;
    s.Hot = c.hot;
    QRect r = image.rect();
    PaintBorder(canvas, r, c.style, s, colors);
    std::string left, right;
    for (int k = 0; k < 4; ++k) {
        left += Letter(image.pixel(k, 6));
        right += Letter(image.pixel(11 - k, 6));
    }
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right);
}

using S = ToxBtnStyle;
INSTANTIATE_TEST_SUITE_P(
    Styles, BorderTable,
    ::testing::Values(
        BorderCase{"insetUp", S::bsInset, false, false, false, false, "SDH.", "HDS."},
        BorderCase{"insetUpFramed", S::bsInset, false, false, true, false, "SDH.", "HDD."},
        BorderCase{"insetLatched", S::bsInset, false, true, false, false, "SDS.", "HD.."},
        BorderCase{"insetPressed", S::bsInset, true, false, false, false, "SDS.", "HD.."},
        BorderCase{"win95Up", S::bsWin95, false, false, false, false, "HL..", "DS.."},
        BorderCase{"win95UpFramed", S::bsWin95, false, false, true, false, "DHL.", "DDS."},
        BorderCase{"win95Down", S::bsWin95, true, false, false, false, "DS..", "HL.."},
        BorderCase{"win95DownFramed", S::bsWin95, true, false, true, false, "DS..", "DS.."},
        BorderCase{"win31Up", S::bsWin31, false, false, false, false, "DHH.", "DSS."},
        BorderCase{"win31UpFramed", S::bsWin31, false, false, true, false, "DDHH", "DDSS"},
        BorderCase{"win31Pressed", S::bsWin31, true, false, false, false, "DSS.", "D..."},
        BorderCase{"win31Latched", S::bsWin31, false, true, false, false, "DS..", "D..."},
        BorderCase{"delphiUp", S::bsDelphi, false, false, false, false, "SH..", "DS.."},
        BorderCase{"delphiDown", S::bsDelphi, false, true, false, false, "SD..", "HS.."},
        BorderCase{"speedUp", S::bsSpeed, false, false, false, false, "HL..", "DS.."},
        BorderCase{"speedDown", S::bsSpeed, true, false, false, false, "DS..", "HL.."},
        BorderCase{"win97UpFlat", S::bsWin97, false, false, false, false, "....", "...."},
        BorderCase{"win97UpHot", S::bsWin97, false, false, false, true, "H...", "S..."},
        BorderCase{"win97UpFramed", S::bsWin97, false, false, true, false, "DH..", "DS.."},
        BorderCase{"win97Down", S::bsWin97, true, false, false, false, "S...", "H..."},
        BorderCase{"win97DownFramed", S::bsWin97, true, false, true, false, "DS..", "DS.."},
        BorderCase{"winXPNone", S::bsWinXP, true, true, true, true, "....", "...."},
        BorderCase{"borderlessNone", S::bsBorderless, false, true, true, true, "....", "...."},
        BorderCase{"shapedNone", S::bsShaped, true, false, false, true, "....", "...."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FocusOutline, InsetByStyle) {
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsWin31, true), 5);
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsWin31, false), 4);
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsWin95, true), 4);
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsInset, true), 4);
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsDelphi, true), 3);
    EXPECT_EQ(FocusOutlineInset(ToxBtnStyle::bsWinXP, true), 0);
}

} // namespace
