// The font configuration read, and the desk's faces matched, on a thread of
// their own: the program may wait for them or end before they are done.

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include "base/FontConfigWarmUp.h"

TEST(FontConfigWarmUp, EndsCleanlyWaitedForOrNot) {
    {
        TFontConfigWarmUp warmUp; // the program returns early: the thread is joined
        EXPECT_TRUE(warmUp.Started());
    }
    TFontConfigWarmUp warmUp({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    const TFaceFamilies& matched = warmUp.Wait();
    EXPECT_EQ(&warmUp.Wait(), &matched); // a second wait returns at once

    const FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    ASSERT_NE(fonts, nullptr);
    EXPECT_GT(fonts->nfont, 0) << "a font package is installed on every machine the tests run on";

    // Each face in order with its family: an installed one is itself, a
    // missing one some installed sans face.
    ASSERT_EQ(matched.size(), 2);
    EXPECT_EQ(matched[0].first, QStringLiteral("MS Sans Serif"));
    EXPECT_FALSE(matched[0].second.isEmpty());
    EXPECT_NE(matched[0].second, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(matched[1],
              std::make_pair(QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")));
}
