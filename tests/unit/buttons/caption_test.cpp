#include <gtest/gtest.h>

#include "buttons/CaptionLayout.h"

namespace {

TEST(CaptionLines, SplitAndJoin) {
    EXPECT_EQ(SplitCaptionLines("1 - 32"), QStringList({"1 - 32"}));
    EXPECT_EQ(SplitCaptionLines("a||b"), QStringList({"a", "b"}));
    EXPECT_TRUE(SplitCaptionLines("").isEmpty());
    EXPECT_EQ(JoinCaptionLines({"a", "b"}), QString("a||b"));
    EXPECT_EQ(JoinCaptionLines({"only"}), QString("only"));
    EXPECT_EQ(CaptionWithBreaks("a||b||c"), QString("a\nb\nc"));
}

TEST(CaptionLines, ViewReadsAtMost254Characters) {
    const QString longCaption = QString(300, 'x');
    EXPECT_EQ(SplitCaptionLines(longCaption).front().size(), 254);
}

TEST(CaptionLines, ViewWritesThroughTheCaption) {
    QString caption;
    int writes = 0;
    TCaptionStrings lines([&] { return caption; },
                          [&](const QString& t) {
                              caption = t;
                              ++writes;
                          });
    lines.Add("1 - 32");
    EXPECT_EQ(caption, QString("1 - 32"));
    lines.Add("x");
    EXPECT_EQ(caption, QString("1 - 32||x"));
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines[1], QString("x"));
    EXPECT_EQ(lines[5], QString());
    EXPECT_EQ(writes, 2);
}

TEST(CaptionFormat, MultiLineNarrowsByTextX) {
    ToxCaptionLayoutInput in;
    in.Client = QRect(0, 0, 63, 40);
    in.MultiLine = true;
    in.TextX = 0;
    QRect t = in.Client;
    CaptionFormat(in, t);
    EXPECT_EQ(t.right(), 62 - 2);
    in.TextX = -11;
    t = in.Client;
    EXPECT_TRUE(CaptionFormat(in, t) & Qt::AlignRight);
    EXPECT_EQ(t.right(), 62 - 11);
    in.TextX = 7;
    t = in.Client;
    EXPECT_TRUE(CaptionFormat(in, t) & Qt::AlignLeft);
    EXPECT_EQ(t.right(), 62 - 7);
}

} // namespace
