// The font configuration read on a thread of its own: the program may wait
// for it, or end before it is done, and the system's fonts are listed after.

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include "base/FontConfigWarmUp.h"

TEST(FontConfigWarmUp, EndsCleanlyWaitedForOrNot) {
    {
        TFontConfigWarmUp warmUp; // the program returns early: the thread is joined
        EXPECT_TRUE(warmUp.Started());
    }
    TFontConfigWarmUp warmUp;
    warmUp.Wait();
    warmUp.Wait(); // a second wait returns at once

    const FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    ASSERT_NE(fonts, nullptr);
    EXPECT_GT(fonts->nfont, 0) << "a font package is installed on every machine the tests run on";
}
