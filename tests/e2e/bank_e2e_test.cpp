// The bank worked with the mouse: a fader dragged, a page chosen, a bump held.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <gtest/gtest.h>

#include "DeskSession.h"

using namespace std::chrono_literals;

namespace {

constexpr int kClientHeight = 561;
constexpr int kPageRow = 41;
constexpr int kColumn = 63;

int LevelOf(const QJsonObject& m, int channel) {
    return m.value(QStringLiteral("levels")).toArray().at(channel - 1).toInt(-1);
}

// Waits until a frame arrives after `after` messages that satisfies pred.
bool WaitForFrame(DeskSession& s, std::size_t after,
                  const std::function<bool(const QJsonObject&)>& pred) {
    QDeadlineTimer deadline(15s);
    while (!deadline.hasExpired()) {
        const auto messages = s.Messages();
        for (std::size_t i = after; i < messages.size(); ++i)
            if (pred(messages[i])) return true;
        s.WaitForMessages(messages.size() + 1, 200ms);
    }
    return false;
}

// Run on a bare display and under a window manager.
class BankEndToEnd : public ::testing::TestWithParam<bool> {};

} // namespace

TEST_P(BankEndToEnd, FaderDragPageSwitchAndMomentaryBumpReachTheHost) {
    DeskSession s;
    s.SetWindowManager(GetParam());
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    // Two frames at the first show, one more once the preferences have loaded.
    ASSERT_TRUE(s.WaitForMessages(3, 20s));

    QString geometry;
    ASSERT_TRUE(s.Xdotool({"getwindowgeometry", "--shell", window}, &geometry));
    const int height = geometry.section(QStringLiteral("HEIGHT="), 1).section('\n', 0, 0).toInt();
    const int menu = height - kClientHeight; // the menu bar sits above the client area
    ASSERT_GT(menu, 0) << geometry.toStdString();
    const int faderTop = menu + kPageRow;
    const auto at = [&](int x, int y) {
        return QStringList{"mousemove", "--window", window, QString::number(x), QString::number(y)};
    };

    // Drag fader 1 from its middle to above its top: channel 1 reaches 255.
    std::size_t before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, faderTop + 105)));
    ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
    EXPECT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) {
        const int v = LevelOf(m, 1);
        return v > 0 && v < 255;
    })) << "pressing the middle of the track gives a middle level";
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, faderTop + 5)));
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, 2)));
    ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 255; }));

    // Page 2, then hold the bump of its first slot: channel 33 goes to 255 and back.
    before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(at(kColumn + kColumn / 2, menu + 20)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    ASSERT_TRUE(s.WaitForMessages(before + 1, 10s));
    before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, faderTop + 230)));
    ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
    EXPECT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) {
        return LevelOf(m, 33) == 255 && LevelOf(m, 1) == 255;
    }));
    before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) {
        return LevelOf(m, 33) == 0 && LevelOf(m, 1) == 255;
    }));

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

INSTANTIATE_TEST_SUITE_P(Displays, BankEndToEnd, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Openbox" : "Bare");
                         });
