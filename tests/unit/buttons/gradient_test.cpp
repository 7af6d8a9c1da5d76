#include <stdexcept>

#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>

#include "buttons/Background.h"
#include "buttons/Canvas.h"
#include "buttons/Gradient.h"

namespace {

struct BandCase {
    const char* name;
    int band;
    int value;
};

class SilverToWhite : public ::testing::TestWithParam<BandCase> {};

TEST_P(SilverToWhite, TableEntryTruncatesTowardsEnd) {
    TGradient g;
    g.SetStartColor(0xC0C0C0);
    g.SetEndColor(0xFFFFFF);
    const TGradient::Entry e = g.TableEntry(GetParam().band);
    EXPECT_EQ(e.R, GetParam().value);
    EXPECT_EQ(e.G, GetParam().value);
    EXPECT_EQ(e.B, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Bands, SilverToWhite,
                         ::testing::Values(BandCase{"firstIsEndColour", 0, 255},
                                           BandCase{"rowZeroOf40", 3, 254},
                                           BandCase{"firstInsideBevel", 12, 250},
                                           BandCase{"lastInsideBevel", 118, 197},
                                           BandCase{"lastNeverReachesStart", 127, 193}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gradient, EntryBeyondBandCountFails) {
    TGradient g;
    EXPECT_THROW(g.TableEntry(128), std::out_of_range);
    EXPECT_THROW(g.TableEntry(-1), std::out_of_range);
    try {
        g.TableEntry(200);
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Index out of range");
    }
}

TEST(Gradient, ChannelsComputedSeparately) {
    TGradient g;
    g.SetStartColor(RGB(0, 100, 200));
    g.SetEndColor(RGB(255, 0, 100));
    const TGradient::Entry e = g.TableEntry(64);
    EXPECT_EQ(e.R, 255 - 127); // trunc(255/128*64) = 127
    EXPECT_EQ(e.G, 0 + 50);    // 0 - trunc(-100/128*64)
    EXPECT_EQ(e.B, 100 + 50);
}

TEST(Gradient, ColourChangeDropsTableAndNotifies) {
    TGradient g;
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    g.TableEntry(0);
    EXPECT_TRUE(g.HasTable());
    g.SetStartColor(0x123456);
    EXPECT_FALSE(g.HasTable());
    g.SetStartColor(0x123456);
    EXPECT_EQ(changes, 1);
}

TEST(GradientBand, ShortRectangleStacksBandsOnRows) {
    // 40 rows for 128 bands: each band one row, the last drawn wins.
    auto lastBandOnRow = [](int row) {
        int last = -1;
        for (int i = 0; i < 128; ++i) {
            const TGradientBand b = GradientBand(i, 128, 0, 40);
            EXPECT_EQ(b.Size, 1);
            if (b.Pos == row) last = i;
        }
        return last;
    };
    EXPECT_EQ(lastBandOnRow(0), 3);
    EXPECT_EQ(lastBandOnRow(3), 12);
    EXPECT_EQ(lastBandOnRow(36), 118);
    EXPECT_EQ(lastBandOnRow(39), 127);
}

TEST(GradientBand, TallRectangleLeavesNoGap) {
    const int height = 300;
    std::vector<bool> covered(height, false);
    for (int i = 0; i < 128; ++i) {
        const TGradientBand b = GradientBand(i, 128, 0, height);
        for (int y = b.Pos; y < b.Pos + b.Size && y < height; ++y)
            covered[y] = true;
    }
    for (int y = 0; y < height; ++y)
        EXPECT_TRUE(covered[y]) << "row " << y;
}

TEST(Background, VertGradientRowsOf63x40) {
    QImage image(63, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    ToxCanvas canvas(image, QPalette());
    ToxBackground background;
    background.SetStyle(ToxBackgroundStyle::oxbVertGradient);
    PaintBackground(canvas, image.rect(), background, 0xC0C0C0);
    EXPECT_EQ(image.pixel(10, 0), qRgb(254, 254, 254));
    EXPECT_EQ(image.pixel(10, 39), qRgb(193, 193, 193));
    EXPECT_EQ(image.pixel(62, 3), qRgb(250, 250, 250));
    EXPECT_EQ(image.pixel(0, 36), qRgb(197, 197, 197));
}

TEST(Background, PictureClipWithoutPictureIsPlainFill) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    ToxCanvas canvas(image, QPalette());
    ToxBackground background;
    background.SetStyle(ToxBackgroundStyle::oxbPictureClip);
    PaintBackground(canvas, image.rect(), background, 0x102030);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(image.pixel(x, y), qRgb(0x30, 0x20, 0x10));
}

TEST(Background, DitherPatternSharedAndChecked) {
    auto a = DitherPattern();
    auto b = DitherPattern();
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(a->pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(qAlpha(a->pixel(0, 7)), 0); // bottom-left is the transparent colour
    EXPECT_EQ(qAlpha(a->pixel(1, 7)), 255);
}

TEST(Canvas, BevelRingsAndClNoneHalf) {
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(Qt::black);
    ToxCanvas canvas(image, QPalette());
    QRect r = image.rect();
    canvas.Bevel(r, RGB(255, 0, 0), clNone, 1);
    EXPECT_EQ(r, QRect(1, 1, 4, 3));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(5, 0), qRgb(255, 0, 0)); // top line reaches the right corner
    EXPECT_EQ(image.pixel(0, 4), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(5, 4), qRgb(0, 0, 0)); // the skipped half
}

TEST(Canvas, BottomRightOverwritesCorners) {
    QImage image(4, 4, QImage::Format_RGB32);
    ToxCanvas canvas(image, QPalette());
    QRect r = image.rect();
    canvas.Bevel(r, RGB(255, 255, 255), RGB(0, 0, 255), 1);
    EXPECT_EQ(image.pixel(3, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 3), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
}

} // namespace
