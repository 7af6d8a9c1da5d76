// The failing device stands for a full disk in the writers' tests, so it must
// fail exactly where it is told to, and the failure points must cover a file.

#include <QBuffer>
#include <gtest/gtest.h>

#include "FailingDevice.h"

TEST(FailingDevice, TakesBytesUpToItsRoomThenFails) {
    FailingDevice d(5);
    ASSERT_TRUE(d.isWritable());
    EXPECT_EQ(d.write("abc", 3), 3);
    EXPECT_EQ(d.write("defg", 4), 2); // cut at the limit, as write(2) is
    EXPECT_EQ(d.write("h", 1), -1);
    EXPECT_EQ(d.Taken(), QByteArray("abcde"));
    EXPECT_EQ(d.Refusals(), 1);
    EXPECT_EQ(d.errorString(), QStringLiteral("No space left on device"));
}

TEST(FailingDevice, RefusesACrossingWriteWholeWhenToldTo) {
    FailingDevice d(5, FailingDevice::Crossing::Refused);
    ASSERT_TRUE(d.isWritable());
    EXPECT_EQ(d.write("abcd", 4), 4);
    EXPECT_EQ(d.write("ef", 2), -1);
    EXPECT_EQ(d.Taken(), QByteArray("abcd"));
}

TEST(FailingDevice, NoRoomFailsTheFirstWrite) {
    FailingDevice d(0);
    ASSERT_TRUE(d.isWritable());
    EXPECT_EQ(d.write("a", 1), -1);
    EXPECT_TRUE(d.Taken().isEmpty());
}

TEST(FailingDevice, PassesWhatItTakesOn) {
    QByteArray sink;
    QBuffer buffer(&sink);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    FailingDevice d(3, FailingDevice::Crossing::Partial, &buffer);
    EXPECT_EQ(d.write("abcd", 4), 3);
    EXPECT_EQ(d.write("e", 1), -1);
    EXPECT_EQ(sink, QByteArray("abc"));
}

TEST(FailurePoints, AShortFileIsCutEverywhere) {
    const std::vector<qint64> points = FailurePoints(10);
    ASSERT_EQ(points.size(), 10u);
    for (qint64 n = 0; n < 10; ++n)
        EXPECT_EQ(points[static_cast<std::size_t>(n)], n);
}

TEST(FailurePoints, ALongFileIsCutAtItsEndsItsBoundariesAndEvenlyBetween) {
    const qint64 total = 33800;
    const std::vector<qint64> points = FailurePoints(total, {16, 117, 40000}, 64);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end()));
    EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end());
    for (qint64 n : {qint64{0}, qint64{1}, qint64{15}, qint64{16}, qint64{17}, qint64{116},
                     qint64{118}, total - 1})
        EXPECT_NE(std::find(points.begin(), points.end(), n), points.end()) << n;
    for (qint64 n : points) {
        EXPECT_GE(n, 0);
        EXPECT_LT(n, total);
    }
    // No gap wider than one sixty-fourth of the file goes uncut.
    for (std::size_t i = 1; i < points.size(); ++i)
        EXPECT_LE(points[i] - points[i - 1], total / 64 + 1);
}
