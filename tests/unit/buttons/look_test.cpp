// Appearance slots and picture choice and placement, without widgets.
#include <string>

#include <gtest/gtest.h>

#include "buttons/FacePaint.h"

namespace {

QImage Picture(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(0xFF000000u);
    return image;
}

struct SlotCase {
    const char* name;
    bool enabled;
    ToxPressState press;
    bool focused, isDefault, hot;
    ToxBtnStyle style;
    int slot;
};

class Slots : public ::testing::TestWithParam<SlotCase> {};

TEST_P(Slots, Choose) {
    const SlotCase& c = GetParam();
    ToxFaceLook l;
    l.Enabled = c.enabled;
    l.PressState = c.press;
    l.Focused = c.focused;
    l.IsDefault = c.isDefault;
    l.Hot = c.hot;
    l.Style = c.style;
    l.FocusStyle = fsDefault | fsText;
    EXPECT_EQ(AppearanceSlot(l), c.slot);
}

using P = ToxPressState;
using S = ToxBtnStyle;
INSTANTIATE_TEST_SUITE_P(
    States, Slots,
    ::testing::Values(
        SlotCase{"normal", true, P::Up, false, false, false, S::bsInset, 0},
        SlotCase{"latchedSharesNormal", true, P::Latched, false, false, false, S::bsInset, 0},
        SlotCase{"hotOnFlatStyle", true, P::Up, false, false, true, S::bsWin97, 1},
        SlotCase{"hotOnInsetIgnored", true, P::Up, false, false, true, S::bsInset, 0},
        SlotCase{"pressed", true, P::Pressed, true, true, true, S::bsInset, 2},
        SlotCase{"isDefault", true, P::Up, false, true, true, S::bsWin97, 3},
        SlotCase{"focused", true, P::Up, true, true, false, S::bsInset, 4},
        SlotCase{"disabledFirst", false, P::Pressed, true, true, true, S::bsInset, 5},
        SlotCase{"arrowPressed", true, P::ArrowPressed, true, false, false, S::bsInset, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChoosePicture, DownWhenDownAndTallEnough) {
    ToxFaceLook l;
    l.Pictures.Up = Picture(8, 8);
    l.Pictures.Down = Picture(9, 9);
    EXPECT_EQ(ChoosePicture(l).width(), 8);
    l.Value = true;
    EXPECT_EQ(ChoosePicture(l).width(), 9);
    l.Pictures.Down = Picture(9, 1); // one row: not a usable picture
    EXPECT_EQ(ChoosePicture(l).width(), 8);
}

TEST(ChoosePicture, OverWhenHotOrFocusedAndDisabledLast) {
    ToxFaceLook l;
    l.Pictures.Up = Picture(8, 8);
    l.Pictures.Over = Picture(7, 7);
    l.Pictures.Disabled = Picture(6, 6);
    EXPECT_EQ(ChoosePicture(l).width(), 8);
    l.Hot = true;
    EXPECT_EQ(ChoosePicture(l).width(), 7);
    l.Enabled = false;
    EXPECT_EQ(ChoosePicture(l).width(), 6);
    ToxFaceLook onlyOver;
    onlyOver.Pictures.Over = Picture(5, 5);
    EXPECT_EQ(ChoosePicture(onlyOver).width(), 5);
}

TEST(PlacePicture, PositiveZeroNegative) {
    const QSize client(75, 26), pic(18, 18);
    EXPECT_EQ(PlacePicture(client, pic, 5, 1).topLeft(), QPoint(5, 1));
    EXPECT_EQ(PlacePicture(client, pic, 0, 0).topLeft(), QPoint(28, 4));
    EXPECT_EQ(PlacePicture(client, pic, -2, -3).topLeft(), QPoint(55, 5));
    EXPECT_EQ(PlacePicture(QSize(5, 5), QSize(8, 8), 0, 0).topLeft(), QPoint(-1, -1));
}

} // namespace
