// The caption bar's arithmetic: gradient steps, bands, end colours, fitting.

#include <gtest/gtest.h>

#include "skin/CaptionMath.h"

namespace {

struct StepCase {
    const char* name;
    int start;
    int end;
    int step;
    int expected;
};

class GradientStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(GradientStepTest, EveryChannelRoundsHalvesToEven) {
    const StepCase& c = GetParam();
    // The same numbers on red, green and blue.
    const auto steps =
        CaptionGradientSteps(RGB(c.start, c.start, c.start), RGB(c.end, c.end, c.end));
    const TColor got = steps[static_cast<std::size_t>(c.step)];
    EXPECT_EQ(GetRValue(got), c.expected);
    EXPECT_EQ(GetGValue(got), c.expected);
    EXPECT_EQ(GetBValue(got), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, GradientStepTest,
    ::testing::Values(StepCase{"FirstStepIsTheStartColour", 74, 200, 0, 74},
                      StepCase{"HalfDownToEvenZero", 11, 10, 64, 11},         // 0.5 -> 0
                      StepCase{"HalfUpToEvenTwo", 13, 10, 64, 11},            // 1.5 -> 2
                      StepCase{"NegativeHalfToEvenZero", 10, 11, 64, 10},     // -0.5 -> 0
                      StepCase{"NegativeHalfToEvenTwo", 10, 13, 64, 12},      // -1.5 -> -2
                      StepCase{"AboveHalfRoundsUp", 255, 0, 1, 253},          // 1.99 -> 2
                      StepCase{"LastStepStopsShortOfTheEnd", 255, 0, 127, 2}, // 253.0
                      StepCase{"EqualColoursStayFlat", 128, 128, 100, 128}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptionGradient, MixedChannelsFollowTheirOwnDifferences) {
    // 0x00FF4A4A towards RGB(166, 202, 240): red/green rise, blue falls.
    const auto steps = CaptionGradientSteps(0x00FF4A4A, RGB(166, 202, 240));
    EXPECT_EQ(steps[0], 0x00FF4A4A);
    // Step 64 is exactly halfway: 74 - round(-46) = 120; 74 - round(-64) = 138;
    // 255 - round(7.5) = 255 - 8 = 247.
    EXPECT_EQ(steps[64], RGB(120, 138, 247));
}

struct BandCase {
    const char* name;
    int width;
    int step;
    int x;
    int bandWidth;
};

class GradientBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(GradientBandTest, PlacesTheBand) {
    const BandCase& c = GetParam();
    const TGradientBand band = CaptionGradientBand(c.step, c.width);
    EXPECT_EQ(band.x, c.x);
    EXPECT_EQ(band.width, c.bandWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, GradientBandTest,
    ::testing::Values(BandCase{"FirstBandAtZero", 300, 0, 0, 3},
                      BandCase{"FractionRoundsDown", 300, 1, 2, 3},  // 2.34
                      BandCase{"HalfXDownToEven", 64, 1, 0, 2},      // 0.5 -> 0, 1.5 -> 2
                      BandCase{"HalfXUpToEven", 64, 3, 2, 2},        // 1.5 -> 2
                      BandCase{"HalfWidthDownToEven", 192, 5, 8, 2}, // 7.5 -> 8; 2.5 -> 2
                      BandCase{"LastBandReachesTheRightEdge", 640, 127, 635, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptionGradient, BandsCoverEveryPixelOfAnyWidth) {
    for (int w = 1; w <= 1200; ++w) {
        int covered = 0; // bands go left to right, each starting inside the previous
        for (int i = 0; i < CAPTION_GRADIENT_STEPS; ++i) {
            const TGradientBand b = CaptionGradientBand(i, w);
            ASSERT_LE(b.x, covered) << "gap before band " << i << " at width " << w;
            covered = std::max(covered, b.x + b.width);
        }
        ASSERT_GE(covered, w) << "width " << w;
    }
}

struct EndCase {
    const char* name;
    bool active;
    int depth;
    bool platformGradients;
    TColor expected;
};

class CaptionEndColorTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(CaptionEndColorTest, PicksThePlatformColour) {
    const EndCase& c = GetParam();
    EXPECT_EQ(CaptionEndColor(c.active, c.depth, c.platformGradients), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, CaptionEndColorTest,
    ::testing::Values(EndCase{"ActiveTrueColour", true, 24, true, clGradientActiveCaption},
                      EndCase{"InactiveTrueColour", false, 32, true, clGradientInactiveCaption},
                      EndCase{"NineBitsStillGradient", true, 9, true, clGradientActiveCaption},
                      EndCase{"ActiveOn256Colours", true, 8, true, clActiveCaption},
                      EndCase{"InactiveOn256Colours", false, 8, true, clInactiveCaption},
                      EndCase{"PlatformWithoutGradients", true, 32, false, clActiveCaption}),
    [](const auto& info) { return std::string(info.param.name); });

// Ten pixels a character: easy to count.
int TenEach(const QString& s) {
    return static_cast<int>(s.size()) * 10;
}

TEST(FitCaption, ACaptionThatFitsIsKept) {
    const TCaptionFit fit = FitCaption(QStringLiteral("Readme"), 60, TenEach);
    EXPECT_EQ(fit.text, QStringLiteral("Readme"));
    EXPECT_FALSE(fit.shortened);
}

TEST(FitCaption, ATooLongCaptionLosesItsEndAndGainsAnEllipsis) {
    const TCaptionFit fit = FitCaption(QStringLiteral("About Vantrelle"), 100, TenEach);
    EXPECT_EQ(fit.text, QStringLiteral("About V..."));
    EXPECT_TRUE(fit.shortened);
}

TEST(FitCaption, OneCharacterIsAlwaysLeft) {
    const TCaptionFit fit = FitCaption(QStringLiteral("About"), 5, TenEach);
    EXPECT_EQ(fit.text, QStringLiteral("A..."));
    EXPECT_TRUE(fit.shortened);
}

TEST(FitCaption, NeverSplitsASurrogatePair) {
    const QString caption =
        QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("cdefgh");
    const TCaptionFit fit = FitCaption(caption, 70, TenEach); // room for 4 units + "..."
    EXPECT_EQ(fit.text,
              QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("..."));
}

struct WordsCase {
    const char* name;
    const char* caption;
    int words;
    const char* italic;
    const char* upright;
};

class ItalicWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(ItalicWordsTest, SplitsAfterTheLeadingWords) {
    const WordsCase& c = GetParam();
    const TCaptionWords parts = SplitItalicWords(QString::fromLatin1(c.caption), c.words);
    EXPECT_EQ(parts.italic, QString::fromLatin1(c.italic));
    EXPECT_EQ(parts.upright, QString::fromLatin1(c.upright));
}

INSTANTIATE_TEST_SUITE_P(
    Words, ItalicWordsTest,
    ::testing::Values(WordsCase{"NoneItalic", "About Vantrelle", 0, "", "About Vantrelle"},
                      WordsCase{"FirstWord", "About Vantrelle", 1, "About ", "Vantrelle"},
                      WordsCase{"MoreWordsThanThereAre", "About Vantrelle", 5, "About Vantrelle",
                                ""},
                      WordsCase{"LeadingAndDoubleBlanks", "  a  b c", 2, "  a  b ", "c"},
                      WordsCase{"NegativeCountsAsNone", "a b", -1, "", "a b"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
