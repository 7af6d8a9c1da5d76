#include <gtest/gtest.h>

#include "model/Captions.h"

TEST(Captions, StoringKeepsTheFirstTwelveAndTheBytesBehind) {
    TShortString12 s{};
    StoreCaption(s, QStringLiteral("ABCDEFGH"));
    StoreCaption(s, QStringLiteral("XY"));
    EXPECT_EQ(s.Length, 2);
    EXPECT_EQ(std::string(s.Chars, 8), "XYCDEFGH");
    EXPECT_EQ(CaptionText(s), QStringLiteral("XY"));
    StoreCaption(s, QStringLiteral("0123456789ABCDEF"));
    EXPECT_EQ(CaptionText(s), QStringLiteral("0123456789AB"));
}

TEST(Captions, EightBitCharactersRoundTripAndOthersBecomeQuestionMarks) {
    TShortString12 s{};
    StoreCaption(s, QStringLiteral(u"Bühne \u20AC"));
    EXPECT_EQ(CaptionText(s), QStringLiteral(u"Bühne ?"));
}
