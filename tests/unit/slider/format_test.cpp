#include <gtest/gtest.h>

#include "slider/ValueFormat.h"

namespace {

struct FormatCase {
    const char* name;
    const char* pattern;
    double value;
    const char* expected;
};

class FormatFloatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatFloatTest, Formats) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatFloat(QString::fromLatin1(c.pattern), c.value).toStdString(), c.expected);
}

const FormatCase kFormatCases[] = {
    {"IntegerDropsFraction", "##0", 50.196079, "50"},
    {"SmallValueShowsZero", "##0", 0.39215687, "0"},
    {"FullScale", "##0", 100.0, "100"},
    {"OneDecimal", "##0.0", 35.0, "35.0"},
    {"OneDecimalRounds", "##0.0", 50.19607, "50.2"},
    {"HalfGoesAwayFromZero", "##0", 0.5, "1"},
    {"HalfGoesAwayFromZeroOdd", "##0", 2.5, "3"},
    {"DecimalHalfOnShortestForm", "0.0", 0.15, "0.2"},
    {"CarryIntoNewDigit", "##0.0", 99.96, "100.0"},
    {"RequiredDigitsPad", "000", 7.0, "007"},
    {"OptionalDecimalsTrimmed", "0.0#", 1.5, "1.5"},
    {"OptionalDecimalsKept", "0.0#", 1.25, "1.25"},
    {"AllOptionalEmptyIntegerPart", "#.##", 0.5, ".5"},
    {"Grouping", "#,##0", 1234567.0, "1,234,567"},
    {"NegativeWithoutSection", "##0", -12.4, "-12"},
    {"NegativeSection", "##0;(##0)", -12.4, "(12)"},
    {"PositiveWithNegativeSection", "##0;(##0)", 12.4, "12"},
    {"NoMinusZero", "##0", -0.3, "0"},
    {"ZeroSection", "##0;-##0;'off'", 0.0, "off"},
    {"Literals", "'L='##0' dB'", 3.0, "L=3 dB"},
    {"UnquotedSuffix", "0%", 42.0, "42%"},
    {"PrefixBeforePoint", "V.00", 0.257, "V.26"},
};

INSTANTIATE_TEST_SUITE_P(Patterns, FormatFloatTest, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatFloatTest, SinglePrecisionUsesItsShortestForm) {
    // 0.15f is 0.1500000059...; as a float its shortest form is "0.15".
    EXPECT_EQ(FormatFloat(QStringLiteral("0.0"), 0.15f), QStringLiteral("0.2"));
    EXPECT_EQ(FormatFloat(QStringLiteral("##0"), 50.196079f), QStringLiteral("50"));
}

struct SampleCase {
    const char* name;
    const char* pattern;
    const char* expected;
};

class SampleTextTest : public testing::TestWithParam<SampleCase> {};

TEST_P(SampleTextTest, PicksTheLongerSection) {
    const SampleCase& c = GetParam();
    EXPECT_EQ(SampleTextOf(QString::fromLatin1(c.pattern)).toStdString(), c.expected);
}

const SampleCase kSampleCases[] = {
    {"NoSectionsWholePattern", "##0.0", "##0.0"},
    {"FirstLonger", "##0.00;-0", "##0.00"},
    {"SecondLonger", "0;-##0.0", "-##0.0"},
    {"TieTakesSecond", "#0;-0", "-0"},
    {"RestAfterFirstSeparator", "0;0;zero", "0;zero"},
};

INSTANTIATE_TEST_SUITE_P(Patterns, SampleTextTest, testing::ValuesIn(kSampleCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
