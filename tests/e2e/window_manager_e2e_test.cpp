// The desk on a display with a window manager (openbox) and on a bare one:
// the stacking layer as the window manager sees it, the window position
// across a restart, and input that must not move levels.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

const QString kDeskTitle = QStringLiteral("Vantrelle 4.03");

bool HasAbove(const QStringList& state) {
    return state.contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}

// Starts the session and waits until the preferences have loaded (the third frame).
QString StartDesk(DeskSession& s, bool windowManager) {
    s.SetWindowManager(windowManager);
    const QString window = s.StartAll();
    if (window.isEmpty() || !s.WaitForMessages(3, 20s)) return {};
    return window;
}

class DeskDisplays : public ::testing::TestWithParam<bool> {};

std::string DisplayName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Openbox" : "Bare";
}

} // namespace

TEST(WindowManagerEndToEnd, StayOnTopFollowsTheMenuTheReadmeAndTheCaptionDialog) {
    DeskSession s;
    const QString desk = StartDesk(s, true);
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    EXPECT_FALSE(HasAbove(s.NetWmState(desk))) << "no preferences: the normal layer";
    ASSERT_TRUE(s.FocusWindow(desk, 10s)) << s.Error().toStdString();

    // Preferences > Stay On Top, on.
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "s"}));
    ASSERT_TRUE(s.WaitForNetWmState(desk, HasAbove, 10s)) << "the window manager kept it below";

    // Help > Readme takes it out of the top layer while the Readme is open.
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+h", "Return"}));
    const QString readme = s.WaitForWindow(QStringLiteral("Readme"), 10s);
    ASSERT_FALSE(readme.isEmpty()) << "the Readme window did not appear";
    EXPECT_TRUE(s.WaitForNetWmState(
        desk, [](const QStringList& st) { return !HasAbove(st); }, 10s));
    ASSERT_TRUE(s.FocusWindow(readme, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "Escape"}));
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("Readme"), 10s));
    EXPECT_TRUE(s.WaitForNetWmState(desk, HasAbove, 10s)) << "not back on top after the Readme";

    // Set Caption from fader 1's popup: out of the top layer while the dialog is open.
    const int menu = MenuHeight(s, desk);
    ASSERT_GT(menu, 0);
    ASSERT_TRUE(s.Xdotool(At(desk, kColumn / 2, menu + kPageRow + 90)));
    ASSERT_TRUE(s.Xdotool({"click", "3"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "Down", "Return"}));
    const QString caption = s.WaitForWindow(QStringLiteral("Fader Caption: 1"), 10s);
    ASSERT_FALSE(caption.isEmpty()) << "the caption dialog did not appear";
    EXPECT_TRUE(s.WaitForNetWmState(
        desk, [](const QStringList& st) { return !HasAbove(st); }, 10s));
    ASSERT_TRUE(s.FocusWindow(caption, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "alt+F4"})); // the window manager's close: Cancel
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("Fader Caption: 1"), 10s));
    EXPECT_TRUE(s.WaitForNetWmState(desk, HasAbove, 10s)) << "not back on top after the dialog";

    // Stay On Top, off again.
    ASSERT_TRUE(s.FocusWindow(desk, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "s"}));
    EXPECT_TRUE(s.WaitForNetWmState(
        desk, [](const QStringList& st) { return !HasAbove(st); }, 10s));

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

TEST_P(DeskDisplays, SidewaysScrollOverAFaderSendsNoLevel) {
    DeskSession s;
    const QString desk = StartDesk(s, GetParam());
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    const int menu = MenuHeight(s, desk);
    ASSERT_GT(menu, 0);

    // Two notches of the vertical wheel (buttons 4 and 5) take fader 1 to 2.
    std::size_t before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(At(desk, kColumn / 2, menu + kPageRow + 100)));
    ASSERT_TRUE(s.Xdotool({"click", "--repeat", "2", "4"}));
    ASSERT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 2; }))
        << "the vertical wheel did not step the fader";

    // Sideways (buttons 6 and 7), then one notch down: 1, never above 2.
    before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool({"click", "--repeat", "3", "6"}));
    ASSERT_TRUE(s.Xdotool({"click", "5"}));
    EXPECT_TRUE(WaitForFrame(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 1; }))
        << "fader 1 is not at 1 after one notch down";
    const auto messages = s.Messages();
    for (std::size_t i = before; i < messages.size(); ++i)
        EXPECT_LE(LevelOf(messages[i], 1), 2) << "a sideways scroll moved fader 1";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

INSTANTIATE_TEST_SUITE_P(WindowManagerEndToEnd, DeskDisplays, ::testing::Bool(), DisplayName);
