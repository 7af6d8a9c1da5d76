// The RTF reader on a document using every feature it keeps, and on broken
// and hostile input.

#include <string>

#include <gtest/gtest.h>

#include "dialogs/RtfReader.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

const TRtfRun* RunWithText(const TRtfParagraph& p, const QString& text) {
    for (const TRtfRun& run : p.runs)
        if (run.text.trimmed() == text) return &run;
    return nullptr;
}

TEST(RtfReader, ReadsEveryKeptFeature) {
    const std::string doc =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0"
        "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman{\\*\\panose 02}Times New "
        "Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\n"
        "{\\*\\generator Some Writer;}{\\info{\\title Hidden}}{\\stylesheet{\\s0 Normal;}}\n"
        "\\pard\\qc\\f1\\fs32\\b Title\\b0\\par\n"
        "\\pard\\plain Plain \\i italic\\i0  \\ul under\\ulnone  \\cf1 red\\cf0  \\fs20 "
        "small\\par\n"
        "caf\\'e9 \\u8364?\\u-10179?\\u-8704?\\par\n"
        "a\\{b\\}c\\\\d\\tab e\\line f\\~g\\emdash\\bullet\\par\n"
        "{\\*\\unknowndest skipped}{\\pict\\bin4 }}}}}visible\\qr\\par\n"
        "\\uc0\\u233 e\\uc2\\u233\\'41\\'42x\n"
        "}ignored after the end";
    QString error;
    const auto result = ReadRtf(doc, &error);
    ASSERT_TRUE(result.has_value()) << error.toStdString();
    const auto& ps = result->paragraphs;
    ASSERT_EQ(ps.size(), 6u) << result->PlainText().toStdString();

    EXPECT_EQ(ps[0].Text(), QStringLiteral("Title"));
    EXPECT_EQ(ps[0].alignment, TRtfAlignment::Center);
    ASSERT_EQ(ps[0].runs.size(), 1u);
    EXPECT_EQ(ps[0].runs[0].format.fontFamily, QStringLiteral("Times New Roman"));
    EXPECT_EQ(ps[0].runs[0].format.halfPoints, 32);
    EXPECT_TRUE(ps[0].runs[0].format.bold);

    EXPECT_EQ(ps[1].Text(), QStringLiteral("Plain italic under red small"));
    EXPECT_EQ(ps[1].alignment, TRtfAlignment::Left);
    const TRtfRun* plain = RunWithText(ps[1], QStringLiteral("Plain"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->format.fontFamily, QStringLiteral("Arial")); // \plain returns to \deff0
    EXPECT_EQ(plain->format.halfPoints, RTF_DEFAULT_HALF_POINTS);
    EXPECT_FALSE(plain->format.bold);
    ASSERT_NE(RunWithText(ps[1], QStringLiteral("italic")), nullptr);
    EXPECT_TRUE(RunWithText(ps[1], QStringLiteral("italic"))->format.italic);
    ASSERT_NE(RunWithText(ps[1], QStringLiteral("under")), nullptr);
    EXPECT_TRUE(RunWithText(ps[1], QStringLiteral("under"))->format.underline);
    const TRtfRun* red = RunWithText(ps[1], QStringLiteral("red"));
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->format.color, std::optional<TColor>(RGB(255, 0, 0)));
    const TRtfRun* small = RunWithText(ps[1], QStringLiteral("small"));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->format.halfPoints, 20);
    EXPECT_FALSE(small->format.color.has_value()); // \cf0 is the automatic colour

    EXPECT_EQ(ps[2].Text(), QStringLiteral("caf\u00e9 \u20ac") + QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(ps[3].Text(), QStringLiteral("a{b}c\\d\te\u2028f\u00a0g\u2014\u2022"));
    EXPECT_EQ(ps[4].Text(), QStringLiteral("visible"));
    EXPECT_EQ(ps[4].alignment, TRtfAlignment::Right);
    // \uc0 skips nothing; \uc2 skips the two escapes after the character.
    EXPECT_EQ(ps[5].Text(), QStringLiteral("\u00e9e\u00e9x"));
}

struct BrokenCase {
    const char* name;
    std::string input;
    bool accepted;
    const char* text; // the plain text when accepted
};

class RtfBrokenInputTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(RtfBrokenInputTest, RefusesOrReadsWhatIsThere) {
    const BrokenCase& c = GetParam();
    QString error;
    TRtfLimits limits;
    limits.maxDepth = 64;
    const auto result = ReadRtf(c.input, &error, limits);
    ASSERT_EQ(result.has_value(), c.accepted) << error.toStdString();
    if (c.accepted)
        EXPECT_EQ(result->PlainText(), QString::fromUtf8(c.text));
    else
        EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Broken, RtfBrokenInputTest,
    ::testing::Values(
        BrokenCase{"PlainTextIsNotRtf", "Just a note.", false, ""},
        BrokenCase{"EmptyInput", "", false, ""}, BrokenCase{"HeaderCutShort", "{\\rt", false, ""},
        BrokenCase{"LeadingBlanksAllowed", " \r\n{\\rtf1 ok}", true, "ok"},
        BrokenCase{"MissingClosingBraces", "{\\rtf1 abc{\\b def", true, "abcdef"},
        BrokenCase{"ExtraClosingBraces", "{\\rtf1 abc}}}def", true, "abc"},
        BrokenCase{"EscapeCutShortAfterQuote", "{\\rtf1 a\\'", true, "a"},
        BrokenCase{"EscapeCutShortAfterOneDigit", "{\\rtf1 a\\'4", true, "a"},
        BrokenCase{"EscapeWithBadDigits", "{\\rtf1 a\\'zzb}", true, "azzb"},
        BrokenCase{"BackslashAtTheEnd", "{\\rtf1 a\\", true, "a"},
        BrokenCase{"HugeNumberSaturates", "{\\rtf1\\fs999999999999999999999 big}", true, "big"},
        BrokenCase{"HugeUnicodeBecomesReplacement", "{\\rtf1\\u99999999 xy}", true,
                   "\xEF\xBF\xBDy"},
        BrokenCase{"LoneSurrogateBecomesReplacement", "{\\rtf1\\u-10179 xy}", true,
                   "\xEF\xBF\xBDy"},
        BrokenCase{"UnicodeSkipCountClamped", "{\\rtf1\\uc99999999\\u65 abc}", true, "A"},
        BrokenCase{"HugeBinarySkipStopsAtTheEnd", "{\\rtf1 a\\bin999999999 bcd}", true, "a"},
        BrokenCase{"NegativeBinaryLengthSkipsNothing", "{\\rtf1 a\\bin-5 b}", true, "ab"},
        BrokenCase{"VeryLongControlWord", "{\\rtf1 a\\" + std::string(100000, 'x') + " b}", true,
                   "ab"},
        BrokenCase{"NestingTooDeep", "{\\rtf1 " + std::string(100, '{') + "x", false, ""},
        BrokenCase{"NestingAtTheLimitIsRead", "{\\rtf1 " + std::string(62, '{') + "x", true, "x"},
        BrokenCase{"UnknownColourIndexIgnored", "{\\rtf1{\\colortbl;}\\cf99 x\\cf-3 y}", true,
                   "xy"},
        BrokenCase{"NulBytesIgnored", std::string("{\\rtf1 a\0b}", 11), true, "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, FormatsAreClampedAndUnknownTablesIgnored) {
    const auto result = ReadRtf("{\\rtf1{\\fonttbl{\\f5 Only}}\\f7\\fs99999 a\\fs-4 b\\fs1 c}");
    ASSERT_TRUE(result.has_value());
    const auto& runs = result->paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].format.fontFamily, QString()); // \f7 is not in the table
    EXPECT_EQ(runs[0].format.halfPoints, 3276);
    EXPECT_EQ(runs[1].format.halfPoints, RTF_DEFAULT_HALF_POINTS);
    EXPECT_EQ(runs[2].format.halfPoints, 2);
}

TEST(RtfReader, FontEntryWithoutSemicolonStillNamesTheFont) {
    const auto result = ReadRtf("{\\rtf1{\\fonttbl{\\f2 Liberation Sans}}\\f2 x}");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->paragraphs.at(0).runs.at(0).format.fontFamily,
              QStringLiteral("Liberation Sans"));
}

TEST(RtfReader, RefusesADocumentOverTheSizeLimit) {
    TRtfLimits limits;
    limits.maxBytes = 10;
    QString error;
    EXPECT_FALSE(ReadRtf("{\\rtf1 eleven bytes}", &error, limits).has_value());
    EXPECT_EQ(error, QStringLiteral("document too large"));
}

TEST(RtfReader, TablesStopGrowingAtTheirLimit) {
    TRtfLimits limits;
    limits.maxTableEntries = 3;
    std::string doc = "{\\rtf1{\\colortbl";
    for (int i = 0; i < 100; ++i)
        doc += "\\red1;";
    doc += "}\\cf2 a\\cf50 b}";
    const auto result = ReadRtf(doc, nullptr, limits);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->paragraphs.at(0).runs.at(0).format.color,
              std::optional<TColor>(RGB(1, 0, 0)));
    EXPECT_FALSE(result->paragraphs.at(0).runs.at(1).format.color.has_value());
}

TEST(Cp1252, MapsTheWindowsOnlyBytes) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), QChar(0x20AC));
    EXPECT_EQ(Cp1252ToUnicode(0x93), QChar(0x201C));
    EXPECT_EQ(Cp1252ToUnicode(0x81), QChar(0x0081));
    EXPECT_EQ(Cp1252ToUnicode(0xE9), QChar(0x00E9));
    EXPECT_EQ(Cp1252ToUnicode('A'), QChar('A'));
}

} // namespace
