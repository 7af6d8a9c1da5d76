#include <QString>
#include <gtest/gtest.h>

#include "core/FileResult.h"

namespace {

const QString kPath = QStringLiteral("/shows/Act1.HXI");

TEST(FileError, ThePathGoesWhereTheActionSaysAndTheReasonFollows) {
    const TFileError e(kPath, QStringLiteral("Cannot open file \"%1\"."),
                       QStringLiteral("Permission denied"));
    EXPECT_EQ(e.Message(),
              QStringLiteral("Cannot open file \"/shows/Act1.HXI\". Permission denied"));
    EXPECT_EQ(e.Path(), kPath);
    EXPECT_EQ(e.Reason(), QStringLiteral("Permission denied"));
}

TEST(FileError, WithoutAReasonTheActionStandsAlone) {
    EXPECT_EQ(TFileError(kPath, QStringLiteral("Cannot open file %1")).Message(),
              QStringLiteral("Cannot open file /shows/Act1.HXI"));
}

TEST(FileError, AFixedActionIsShownAsItIs) {
    EXPECT_EQ(TFileError(kPath, QStringLiteral("Failed to Load Stream")).Message(),
              QStringLiteral("Failed to Load Stream"));
}

TEST(FileError, WithoutAnActionTheReasonIsTheMessage) {
    EXPECT_EQ(TFileError(kPath, {}, QStringLiteral("No space left on device")).Message(),
              QStringLiteral("No space left on device"));
}

TEST(FileError, APathHoldingPlaceMarkersIsTakenLiterally) {
    const TFileError e(QStringLiteral("/tmp/%2%1.ini"), QStringLiteral("Unable to write to %1"));
    EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to /tmp/%2%1.ini"));
}

TEST(FileError, TheStepThatFailedComesBeforeTheReason) {
    const TFileError e(kPath, QStringLiteral("Cannot save file \"%1\":"),
                       QStringLiteral("No space left on device"), QStringLiteral("cannot write"));
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot save file \"/shows/Act1.HXI\": cannot write: No "
                                          "space left on device"));
    EXPECT_EQ(e.Step(), QStringLiteral("cannot write"));
    EXPECT_EQ(TFileError(kPath, {}, {}, QStringLiteral("cannot write")).Message(),
              QStringLiteral("cannot write"));
}

TEST(FileResult, NothingToReportIsSuccess) {
    const TFileResult<> ok;
    EXPECT_TRUE(ok);
    const TFileResult<> failed = TFileError(kPath, QStringLiteral("x %1"));
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Error().Message(), QStringLiteral("x /shows/Act1.HXI"));
}

TEST(FileResult, HoldsEitherAValueOrAnError) {
    const TFileResult<int> value = 7;
    ASSERT_TRUE(value);
    EXPECT_EQ(value.Value(), 7);
    EXPECT_THROW(static_cast<void>(value.Error()), std::bad_variant_access);

    const TFileResult<int> error = TFileError(kPath, {}, QStringLiteral("gone"));
    ASSERT_FALSE(error);
    EXPECT_EQ(error.Error().Message(), QStringLiteral("gone"));
    EXPECT_THROW(static_cast<void>(error.Value()), std::bad_variant_access);
}

} // namespace
