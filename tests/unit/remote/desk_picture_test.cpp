// What a page is told: the read-outs as the desk shows them, the colours, and
// the state of the page shown.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "model/DeskModel.h"
#include "remote/DeskPicture.h"

using remote::ReadoutText;

TEST(DeskPicture, ReadoutsAsPercentOrDigit) {
    EXPECT_EQ(ReadoutText(0, false), "0%");
    EXPECT_EQ(ReadoutText(128, false), "50%");
    EXPECT_EQ(ReadoutText(127, false), "50%");
    EXPECT_EQ(ReadoutText(1, false), "0%");
    EXPECT_EQ(ReadoutText(2, false), "1%");
    EXPECT_EQ(ReadoutText(255, false), "100%");
    EXPECT_EQ(ReadoutText(128, true), "128");
    // Every level's percent agrees with rounding to the nearest.
    for (int level = 0; level <= 255; ++level) {
        const int percent = ReadoutText(level, false).chopped(1).toInt();
        EXPECT_LE(std::abs(percent * 255 - level * 100), 128) << level;
    }
}

TEST(DeskPicture, ColoursAsCss) {
    EXPECT_EQ(remote::CssColor(clRed), "#ff0000");
    EXPECT_EQ(remote::CssColor(clNavy), "#000080");
    EXPECT_EQ(remote::CssColor(RGB(1, 2, 3)), "#010203");
    EXPECT_EQ(remote::CssColor(clBtnFace), "#c0c0c0");
}

TEST(DeskPicture, StateHoldsThePageShown) {
    TDeskModel model;
    TChannelTable table{};
    ClearChannels(table);
    model.StartWith(table, false, {});
    model.ShowPage(2, {});
    model.SetNames(33, QStringLiteral("Front"), QStringLiteral("Wash"));
    model.SetFaderColor(34, clRed);
    model.MoveFader(1, 128, {});
    model.SetToggleBumps(true);
    const remote::TDeskLook look{true, {clGray, clSilver, 0x0080FF, clYellow}};
    const QJsonObject o = QJsonDocument::fromJson(remote::StateMessage(model, look)).object();
    EXPECT_EQ(o.value("t").toString(), QStringLiteral("state"));
    EXPECT_EQ(o.value("page").toInt(), 2);
    EXPECT_TRUE(o.value("toggle").toBool());
    EXPECT_TRUE(o.value("digits").toBool());
    EXPECT_EQ(o.value("channels").toArray().at(0).toInt(), 33);
    EXPECT_EQ(o.value("channels").toArray().at(31).toInt(), 64);
    EXPECT_EQ(o.value("name1").toArray().at(0).toString(), QStringLiteral("Front"));
    EXPECT_EQ(o.value("name2").toArray().at(0).toString(), QStringLiteral("Wash"));
    EXPECT_EQ(o.value("colors").toArray().at(1).toString(), QStringLiteral("#ff0000"));
    EXPECT_EQ(o.value("levels").toArray().at(0).toInt(), 128);
    EXPECT_EQ(o.value("texts").toArray().at(0).toString(), QStringLiteral("128"));
    const QJsonArray pages = o.value("pages").toArray();
    ASSERT_EQ(pages.size(), 16);
    EXPECT_EQ(pages.at(1).toString(), QStringLiteral("#ffff00")) << "shown and live: yellow";
    EXPECT_EQ(pages.at(0).toString(), QStringLiteral("#808080"));

    const QJsonObject levels = QJsonDocument::fromJson(remote::LevelsMessage(model, look)).object();
    EXPECT_EQ(levels.value("t").toString(), QStringLiteral("levels"));
    EXPECT_FALSE(levels.contains("name1"));
    EXPECT_EQ(levels.value("levels").toArray().size(), 32);
}
