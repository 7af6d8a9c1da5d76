#include <gtest/gtest.h>

#include "slider/ColorMath.h"
#include "slider/ScaleDraw.h"

namespace {

TEST(BlendColorTest, EndPoints) {
    EXPECT_EQ(BlendColor(0x000000, 0xC0C0C0, 4, 0), 0x000000);
    EXPECT_EQ(BlendColor(0x000000, 0xC0C0C0, 4, 4), 0xC0C0C0);
    EXPECT_EQ(BlendColor(0x102030, 0x405060, 3, 3), 0x405060);
}

TEST(BlendColorTest, EqualColoursReturnFromUnchanged) {
    EXPECT_EQ(BlendColor(clBtnShadow, clBtnShadow, 2, 1), clBtnShadow);
    EXPECT_EQ(BlendColor(clSilver, clSilver, 2, 2), clSilver);
}

TEST(BlendColorTest, PerChannelAndHalvesToEven) {
    // (0x0B - 0) / 2 = 5.5 -> 6; (0x09 - 0) / 2 = 4.5 -> 4; blue 3 / 2 = 1.5 -> 2.
    EXPECT_EQ(BlendColor(0x000000, RGB(0x0B, 0x09, 0x03), 2, 1), RGB(6, 4, 2));
    EXPECT_EQ(BlendColor(RGB(200, 0, 0), RGB(100, 0, 0), 2, 1), RGB(150, 0, 0));
}

TEST(BlendColorTest, CountZeroCountsAsOne) {
    EXPECT_EQ(BlendColor(0x000000, 0x0A0A0A, 0, 1), 0x0A0A0A);
}

TEST(GradientTest, EllipticFaceOfTheBankHas83Steps) {
    const auto shapes = EllipticShapes(56, 204, 0xE2E2E2, 0x8F8F8F);
    ASSERT_EQ(shapes.size(), 83u);
    EXPECT_EQ(shapes.front().Color, 0x8F8F8F);
    EXPECT_EQ(shapes.front().Bounds, (TSkRect{28 - 28, 102 - 102, 28 + 28, 102 + 102}));
    EXPECT_EQ(shapes.back().Color, RGB(0xE1, 0xE1, 0xE1)); // one step short of ColorFrom
    EXPECT_EQ(GradientSteps(0xE2E2E2, 0x8F8F8F), 83);
}

TEST(GradientTest, EqualColoursGiveNoShapes) {
    EXPECT_TRUE(EllipticShapes(40, 40, 0x808080, 0x808080).empty());
}

TEST(GradientTest, HorizontalBandsEndExactlyOnTo) {
    const auto bands = HorizontalBands(10, 100, 0x000000, 0x000028); // 40 steps
    ASSERT_FALSE(bands.empty());
    EXPECT_EQ(bands.front().Color, 0x000000);
    EXPECT_EQ(bands.front().Bounds, (TSkRect{0, 0, 10, 2}));
    EXPECT_EQ(bands.back().Color, 0x000028);
    EXPECT_EQ(bands.size(), 51u); // z = 100 div 40 = 2, c = 50, bands 0..50
    EXPECT_EQ(bands.back().Bounds.Top, 100);
}

TEST(ScaleMetricsTest, FromLabelHeight14) {
    const TScaleMetrics m = ScaleMetricsFor(14, 20, 10, true);
    EXPECT_EQ(m.LineWidth, 1);
    EXPECT_EQ(m.LongTick, 10);
    EXPECT_EQ(m.ShortTick, 5);
    EXPECT_EQ(m.LabelGap, 4);
    EXPECT_EQ(m.ScaleWidth, 34);
    EXPECT_EQ(m.ScaleLength, 196);
}

TEST(ScaleMetricsTest, ThickLinesShortenMinorTicksByRatio) {
    const TScaleMetrics m = ScaleMetricsFor(28, 20, 10, false);
    EXPECT_EQ(m.LineWidth, 2);
    EXPECT_EQ(m.LongTick, 20);
    EXPECT_EQ(m.ShortTick, 14);
    EXPECT_EQ(m.LabelGap, 5);
    EXPECT_EQ(m.ScaleWidth, 280);
    EXPECT_EQ(m.ScaleLength, 14 + 20 + 5);
}

TEST(ScaleTicksTest, BankScaleHas11MajorAnd20MinorPositions) {
    const TScaleTicks t = ScaleTickRows(40, 140, 10, 2);
    ASSERT_EQ(t.Major.size(), 11u);
    EXPECT_EQ(t.Minor.size(), 20u);
    EXPECT_EQ(t.Major.front(), 40);
    EXPECT_EQ(t.Major.back(), 140);
    EXPECT_EQ(t.Minor[1], 45);
    EXPECT_EQ(t.Minor[0], t.Major[0]); // the first minor tick lies on its major
}

TEST(ScaleTicksTest, RowsRoundHalvesToEven) {
    const TScaleTicks t = ScaleTickRows(0, 5, 2, 1); // pitch 2.5
    EXPECT_EQ(t.Major, (std::vector<int>{0, 2, 5}));
}

TEST(ScaleLabelsTest, VerticalTopFirst) {
    TScaleSettings scale;
    scale.SetSteps(10);
    EXPECT_EQ(ScaleLabels(scale, 0, 100, true),
              QStringLiteral("100;90;80;70;60;50;40;30;20;10;0;"));
    EXPECT_EQ(ScaleLabels(scale, 0, 100, false).left(7), QStringLiteral("0;10;20"));
}

} // namespace
