#include <gtest/gtest.h>

#include "slider/ScaleDraw.h"
#include "slider/VSliderLayout.h"

namespace {

// A 63 × 210 fader as the bank sets it up, with fixed text metrics.
class FaderLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        outer.SetBevelLine(blNone);
        outer.SetSpacing(1);
        value.SetSpacing(0);
        in.Width = 63;
        in.Height = 210;
        in.Options = opBevelOuter | opUnit | opValue | opName1 | opName2;
        in.BevelOuter = &outer;
        in.BevelValue = &value;
        in.SampleWidth = 27;
        in.SampleHeight = 15;
        in.UnitWidth = 12;
        in.NameLineHeight = 11;
        in.LabelHeight = 0;
        in.ScaleWidth = 266;
        in.ButtonSize = 53;
    }
    TSkSBevel outer, value;
    TVSliderLayoutInput in;
};

TEST_F(FaderLayoutTest, VerticalStack) {
    const TVSliderLayout l = LayoutVSlider(in);
    EXPECT_EQ(l.Content, (TSkRect{3, 3, 60, 207}));
    EXPECT_EQ(l.ValueBevel, (TSkRect{4, 3, 45, 22}));
    EXPECT_EQ(l.ValueBoxRect, (TSkRect{11, 5, 38, 20}));
    EXPECT_EQ(l.UnitPos, QPoint(48, 5));
    EXPECT_EQ(l.Name2Bottom, 207);
    EXPECT_EQ(l.Name1Bottom, 196); // Name1 stands above Name2
    EXPECT_FALSE(l.TooSmall);
    EXPECT_EQ(l.Margin, 10);
    EXPECT_EQ(l.TrackRect, (TSkRect{5, 23, 59, 184}));
    EXPECT_EQ(l.TrenchOuter, (TSkRect{30, 33, 35, 174}));
    EXPECT_EQ(l.TrenchRect, (TSkRect{31, 34, 34, 173}));
    EXPECT_EQ(l.LeftScale, (TSkRect{3, 34, 25, 173}));
    EXPECT_EQ(l.RightScale, (TSkRect{39, 34, 60, 173}));
}

TEST_F(FaderLayoutTest, KnobOfSize53) {
    const TVSliderLayout l = LayoutVSlider(in);
    EXPECT_EQ(l.ButtonSize, 53);
    EXPECT_EQ(l.KnobLength, 21);
    EXPECT_EQ(l.KnobBreadth, 53);
    const TSkRect knob = KnobRect(0, 0, 53);
    EXPECT_EQ(knob.Width(), 53);
    EXPECT_EQ(knob.Height(), 23);
}

struct SizeCase {
    const char* name;
    int requested, width, corrected;
};

class ButtonSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(ButtonSizeTest, IsCorrected) {
    EXPECT_EQ(ClampButtonSize(GetParam().requested, GetParam().width), GetParam().corrected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ButtonSizeTest,
                         testing::Values(SizeCase{"Fits", 53, 63, 53},
                                         SizeCase{"BelowMinimum", 10, 63, 18},
                                         SizeCase{"WiderThanControl", 80, 63, 63},
                                         SizeCase{"NarrowControlStillMinimum", 30, 12, 18}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaderLayoutTest, KnobCentreRowsAtTheEnds) {
    const TVSliderLayout l = LayoutVSlider(in);
    const int h = l.TrackRect.Height(), th = l.TrenchRect.Height();
    EXPECT_EQ(l.TrackRect.Top + KnobCentreRow(h, l.KnobLength, th, 255, 255, 0), l.TrenchRect.Top);
    EXPECT_EQ(l.TrackRect.Top + KnobCentreRow(h, l.KnobLength, th, 255, 0, 0), l.TrenchRect.Bottom);
    EXPECT_EQ(KnobCentreRow(h, l.KnobLength, th, 0, 5, 0), h - l.KnobLength / 2 - 1);
}

TEST_F(FaderLayoutTest, NoCaptionsTakeNoSpacing) {
    in.Options = opBevelOuter | opUnit | opValue;
    const TVSliderLayout l = LayoutVSlider(in);
    EXPECT_EQ(l.TrenchOuter.Bottom, 207 - l.Margin);
}

TEST_F(FaderLayoutTest, ScaleTextWidensTheMargin) {
    in.LabelHeight = 45;
    EXPECT_EQ(LayoutVSlider(in).Margin, 15);
}

TEST_F(FaderLayoutTest, TooSmallBetweenReadoutAndCaptions) {
    in.Height = 3 + 19 + 1 + 11 + 11 + 1 + 1 + 3; // one row left
    EXPECT_TRUE(LayoutVSlider(in).TooSmall);
    in.Height += 1;
    EXPECT_FALSE(LayoutVSlider(in).TooSmall);
}

TEST_F(FaderLayoutTest, WithoutOuterBevelTheWholeControlIsContent) {
    in.Options = opValue;
    EXPECT_EQ(LayoutVSlider(in).Content, (TSkRect{0, 0, 63, 210}));
}

TEST(KnobHitRectTest, JumpUsesTheTrackElseTheKnobRows) {
    const TSkRect track{5, 23, 59, 184};
    EXPECT_EQ(KnobHitRectFor(track, true, 100, 53), track);
    EXPECT_EQ(KnobHitRectFor(track, false, 100, 53), (TSkRect{5, 89, 59, 111}));
}

TEST(HitTest, BottomRowCountsRightColumnDoesNot) {
    const TSkRect r{0, 0, 10, 10};
    EXPECT_TRUE(r.Hit(0, 10));
    EXPECT_FALSE(r.Hit(10, 5));
    EXPECT_FALSE(r.Hit(-1, 5));
}

TEST(BevelTest, BorderWidthAndContent) {
    TSkSBevel b; // spacing 5, width 2, no lines
    EXPECT_EQ(b.BorderWidth(), 7);
    b.SetBevelLine(blBoth);
    EXPECT_EQ(b.BorderWidth(), 9);
    b.Offset()->SetLeft(2);
    b.Offset()->SetBottom(3);
    EXPECT_EQ(BevelContentRect(b, {0, 0, 100, 100}), (TSkRect{11, 9, 91, 88}));
    int changes = 0;
    QObject::connect(&b, &TSkPersistent::changed, [&] { ++changes; });
    b.SurfaceGrad()->SetVisible(true); // owned objects report through the bevel
    b.SetWidth(-1);                    // refused
    b.SetWidth(2);                     // unchanged
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Width(), 2);
}

TEST(ScaleSettingsTest, DefaultsAndRefusedValues) {
    TScaleSettings lib;
    EXPECT_TRUE(lib.DrawLine());
    EXPECT_EQ(lib.Font()->Size(), 14);
    EXPECT_EQ(lib.SubSteps(), 2);
    TScaleSettings slider(TScaleSettings::Defaults::Slider);
    EXPECT_FALSE(slider.DrawLine());
    EXPECT_EQ(slider.Font()->Size(), 8);
    EXPECT_EQ(slider.SubSteps(), 5);
    EXPECT_EQ(slider.Font()->Name(), QStringLiteral("Arial"));
    slider.SetSteps(21);
    slider.SetSteps(0);
    slider.SetSubSteps(11);
    EXPECT_EQ(slider.Steps(), 5);
    EXPECT_EQ(slider.SubSteps(), 5);
    int changes = 0;
    QObject::connect(&slider, &TSkPersistent::changed, [&] { ++changes; });
    slider.SetDrawLine(false); // reports even when unchanged
    slider.Font()->SetSize(9); // the font's own notice reaches the scale
    EXPECT_EQ(changes, 2);
}

} // namespace
