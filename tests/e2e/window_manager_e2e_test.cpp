// The desk on a display with a window manager (openbox) and on a bare one:
// the stacking layer as the window manager sees it, the window position
// across a restart, and input that must not move levels.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
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

// A fader popup's items, picked from the keyboard.
const QStringList kSetCaption = {"Down", "Return"};
const QStringList kPreset50 = QStringList(8, QStringLiteral("Down"))
                              << QStringLiteral("Return"); // "50%  or 128"

// Right-clicks at (x, y) in the window and picks the popup's item with `keys`.
bool PickFromPopup(DeskSession& s, const QString& window, int x, int y, const QStringList& keys) {
    return s.Xdotool(At(window, x, y)) && s.Xdotool({"click", "3"}) &&
           s.Xdotool(QStringList{"key", "--delay", "150"} + keys);
}

// The window ids in an xprop answer ("window id # 0x1a00007, 0x..."), as numbers.
QList<qulonglong> WindowIds(const QString& xprop) {
    QList<qulonglong> ids;
    static const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    for (auto it = id.globalMatch(xprop.section(QLatin1Char('#'), 1)); it.hasNext();)
        ids << it.next().captured().toULongLong(nullptr, 16);
    return ids;
}

// The window `window` is transient for (its owner), 0 when none.
qulonglong OwnerOf(DeskSession& s, const QString& window) {
    QString out;
    s.Xprop({QStringLiteral("-id"), window, QStringLiteral("WM_TRANSIENT_FOR")}, &out);
    const QList<qulonglong> ids = WindowIds(out);
    return ids.isEmpty() ? 0 : ids.constFirst();
}

// Whether the window manager stacks `upper`'s frame above `lower`'s.
bool StackedAbove(DeskSession& s, const QString& upper, const QString& lower) {
    QString out;
    s.Xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}, &out);
    const QList<qulonglong> bottomUp = WindowIds(out);
    const qsizetype up = bottomUp.indexOf(upper.toULongLong());
    const qsizetype low = bottomUp.indexOf(lower.toULongLong());
    return up >= 0 && low >= 0 && up > low;
}

// Waits until the keyboard focus is in `window`.
bool WaitForFocus(DeskSession& s, const QString& window, std::chrono::milliseconds timeout) {
    QDeadlineTimer deadline(timeout);
    while (s.FocusedWindow() != window) {
        if (deadline.hasExpired()) return false;
        s.WaitForMessages(s.Messages().size() + 1, 50ms);
    }
    return true;
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
    // The icon is set once the window is up; the window manager still gets it.
    QString icon;
    // All of it: the largest size alone is a quarter of a megabyte.
    EXPECT_TRUE(s.Xprop({QStringLiteral("-len"), QStringLiteral("4000000"), QStringLiteral("-id"),
                         desk, QStringLiteral("_NET_WM_ICON")},
                        &icon));
    // The launcher's icon, in every size it is installed in.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(icon.contains(QStringLiteral("Icon (%1 x %1)").arg(size)))
            << size << ": " << icon.left(120).toStdString();
    EXPECT_FALSE(icon.contains(QStringLiteral("Icon (120 x 100)"))) << "the About box's picture";
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
    ASSERT_TRUE(PickFromPopup(s, desk, kColumn / 2, menu + kPageRow + 90, kSetCaption));
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

// Every window the desk opens is its own (transient for it): shown above the
// desk also while the desk stays on top, and closing it gives the focus back
// to the desk, not to another program's window.
TEST(WindowManagerEndToEnd, WindowsTheDeskOpensShowAboveItAndGiveTheFocusBack) {
    DeskSession s;
    const QString desk = StartDesk(s, true);
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    const QString other = s.OpenOtherWindow(QStringLiteral("Elsewhere"));
    ASSERT_FALSE(other.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.FocusWindow(desk, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "s"})); // Stay On Top
    ASSERT_TRUE(s.WaitForNetWmState(desk, HasAbove, 10s));

    // Help > About, the modal box: above the stay-on-top desk.
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+h", "Down", "Return"}));
    const QString about = s.WaitForWindow(QStringLiteral("About Vantrelle"), 10s);
    ASSERT_FALSE(about.isEmpty()) << "the About box did not appear";
    EXPECT_EQ(OwnerOf(s, about), desk.toULongLong()) << "the About box has no owner";
    EXPECT_TRUE(StackedAbove(s, about, desk)) << "the About box is hidden behind the desk";
    EXPECT_TRUE(HasAbove(s.NetWmState(desk))) << "the desk left its layer for the box";
    ASSERT_TRUE(s.FocusWindow(about, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "Escape"}));
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("About Vantrelle"), 10s));
    EXPECT_TRUE(WaitForFocus(s, desk, 10s))
        << "the focus went to " << s.FocusedWindow().toStdString();

    // Help > Readme: 640 by 480, owned by the desk, the focus back on the desk once closed.
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+h", "Return"}));
    const QString readme = s.WaitForWindow(QStringLiteral("Readme"), 10s);
    ASSERT_FALSE(readme.isEmpty()) << "the Readme window did not appear";
    EXPECT_EQ(OwnerOf(s, readme), desk.toULongLong()) << "the Readme window has no owner";
    QString geometry;
    ASSERT_TRUE(s.Xdotool({"getwindowgeometry", "--shell", readme}, &geometry));
    EXPECT_TRUE(geometry.contains(QStringLiteral("WIDTH=640\nHEIGHT=480")))
        << geometry.toStdString();
    ASSERT_TRUE(s.FocusWindow(readme, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "alt+c"})); // Close
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("Readme"), 10s));
    EXPECT_TRUE(WaitForFocus(s, desk, 10s))
        << "the focus went to " << s.FocusedWindow().toStdString();
    EXPECT_TRUE(s.WaitForNetWmState(desk, HasAbove, 10s));

    // The caption dialog of channel 512: page 16, fader 1, then Back to fader 32.
    const int menu = MenuHeight(s, desk);
    ASSERT_GT(menu, 0);
    ASSERT_TRUE(s.Xdotool(At(desk, 15 * kColumn + kColumn / 2, menu + kPageRow / 2)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    ASSERT_TRUE(PickFromPopup(s, desk, kColumn / 2, menu + kPageRow + 90, kSetCaption));
    const QString first = s.WaitForWindow(QStringLiteral("Fader Caption: 481"), 10s);
    ASSERT_FALSE(first.isEmpty()) << "the caption dialog did not open on channel 481";
    ASSERT_TRUE(s.FocusWindow(first, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "Up"}));
    const QString caption = s.WaitForWindow(QStringLiteral("Fader Caption: 512"), 10s);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_EQ(OwnerOf(s, caption), desk.toULongLong());
    // Only the buttons the dialog has: the window manager is asked (Motif hints:
    // flags, functions, decorations) for no minimise and no maximise button.
    QString motif;
    ASSERT_TRUE(
        s.Xprop({QStringLiteral("-id"), caption, QStringLiteral("_MOTIF_WM_HINTS")}, &motif));
    const QStringList hints = motif.section(QLatin1Char('='), 1).split(QLatin1Char(','));
    ASSERT_GE(hints.size(), 3) << motif.toStdString();
    const uint flags = hints[0].trimmed().toUInt(nullptr, 16);
    const uint functions = hints[1].trimmed().toUInt(nullptr, 16);
    const uint decorations = hints[2].trimmed().toUInt(nullptr, 16);
    EXPECT_EQ(flags & 3u, 3u) << "functions and decorations not both given: "
                              << motif.toStdString();
    EXPECT_EQ(functions & 0x19u, 0u)
        << "all, minimise or maximise allowed: " << motif.toStdString();
    EXPECT_NE(functions & 0x20u, 0u) << "no close: " << motif.toStdString();
    EXPECT_EQ(decorations & 0x61u, 0u)
        << "all, minimise or maximise buttons: " << motif.toStdString();
    QString actions;
    ASSERT_TRUE(s.Xprop({QStringLiteral("-id"), caption, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")},
                        &actions));
    EXPECT_TRUE(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE"))) << actions.toStdString();
    EXPECT_FALSE(actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE")))
        << actions.toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "alt+F4"}));
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("Fader Caption: 512"), 10s));
    EXPECT_TRUE(WaitForFocus(s, desk, 10s))
        << "the focus went to " << s.FocusedWindow().toStdString();

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
    ASSERT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 2; }))
        << "the vertical wheel did not step the fader";

    // Sideways (buttons 6 and 7), then one notch down: 1, never above 2.
    before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool({"click", "--repeat", "3", "6"}));
    ASSERT_TRUE(s.Xdotool({"click", "5"}));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 1; }))
        << "fader 1 is not at 1 after one notch down";
    const auto messages = s.Messages();
    for (std::size_t i = before; i < messages.size(); ++i)
        EXPECT_LE(LevelOf(messages[i], 1), 2) << "a sideways scroll moved fader 1";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

TEST_P(DeskDisplays, WindowComesBackWhereItWasLeft) {
    DeskSession s;
    QString desk = StartDesk(s, GetParam());
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    const QString frame = s.FrameOf(desk);
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_EQ(frame != desk, GetParam()) << "a window manager draws a frame, a bare display none";

    QPoint start;
    ASSERT_TRUE(s.ScreenPosition(desk, &start));
    // Ask for a new place as a user dragging the frame would, then wait until it is taken.
    ASSERT_TRUE(s.Xdotool({"windowmove", desk, "97", "83"}));
    QPoint client;
    QDeadlineTimer moved(10s);
    while (s.ScreenPosition(desk, &client) && client == start && !moved.hasExpired())
        s.WaitForMessages(s.Messages().size() + 1, 50ms);
    ASSERT_NE(client, start) << "the window did not move";
    QPoint frameAt;
    ASSERT_TRUE(s.ScreenPosition(frame, &frameAt));

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(10s), 0);

    const std::size_t before = s.Messages().size();
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(before + 3, 20s)) << "the preferences did not load";
    desk = s.WaitForWindow(kDeskTitle, 20s);
    ASSERT_FALSE(desk.isEmpty());
    // The restored place is applied after the first show; wait for it, then compare.
    QPoint again;
    QDeadlineTimer restored(10s);
    while (s.ScreenPosition(desk, &again) && again != client && !restored.hasExpired())
        s.WaitForMessages(s.Messages().size() + 1, 50ms);
    EXPECT_EQ(again, client) << "client area moved by " << (again - client).x() << ","
                             << (again - client).y();
    QPoint frameAgain;
    ASSERT_TRUE(s.ScreenPosition(s.FrameOf(desk), &frameAgain));
    EXPECT_EQ(frameAgain, frameAt);

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

// With another program's window active, the desk's popup still acts on
// the fader that was right-clicked, also after the caption dialog stepped on.
TEST_P(DeskDisplays, PopupActsOnTheRightClickedFaderInAnInactiveWindow) {
    DeskSession s;
    const QString desk = StartDesk(s, GetParam());
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    const int menu = MenuHeight(s, desk);
    ASSERT_GT(menu, 0);
    const QString other = s.OpenOtherWindow(QStringLiteral("Elsewhere"));
    ASSERT_FALSE(other.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.FocusWindow(other, 10s)) << s.Error().toStdString();

    // Fader 3 > "50%  or 128": channel 3 follows.
    const int faderRow = menu + kPageRow + 90;
    std::size_t before = s.Messages().size();
    ASSERT_TRUE(PickFromPopup(s, desk, 2 * kColumn + kColumn / 2, faderRow, kPreset50));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 3) == 128; }))
        << "the preset did not reach channel 3";

    // Fader 1 > Set Caption opens on channel 1; Next, OK.
    ASSERT_TRUE(s.FocusWindow(other, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(PickFromPopup(s, desk, kColumn / 2, faderRow, kSetCaption));
    const QString dialog = s.WaitForWindow(QStringLiteral("Fader Caption: 1"), 10s);
    ASSERT_FALSE(dialog.isEmpty()) << "the caption dialog did not open on fader 1";
    ASSERT_TRUE(s.FocusWindow(dialog, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "Down"}));
    const QString next = s.WaitForWindow(QStringLiteral("Fader Caption: 2"), 10s);
    ASSERT_FALSE(next.isEmpty()) << "Next did not step to fader 2";
    ASSERT_TRUE(s.Xdotool({"mousemove", "--window", next, "135", "76", "click", "1"})); // OK
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("Fader Caption: 2"), 10s));

    // Fader 1 > "50%  or 128": channel 1, not 2.
    before = s.Messages().size();
    ASSERT_TRUE(PickFromPopup(s, desk, kColumn / 2, faderRow, kPreset50));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 1) == 128; }))
        << "the preset did not reach channel 1";
    EXPECT_EQ(LevelOf(s.Messages().back(), 2), 0) << "the preset went to channel 2";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

// A toggle bump clicked while another program's window is active latches
// with its flash and releases with the level it had.
TEST_P(DeskDisplays, ToggleBumpActsInAnInactiveWindow) {
    DeskSession s;
    const QString desk = StartDesk(s, GetParam());
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();
    const int menu = MenuHeight(s, desk);
    ASSERT_GT(menu, 0);
    // Preferences > Bump Button As Toggle.
    ASSERT_TRUE(s.FocusWindow(desk, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "t"}));
    const QString other = s.OpenOtherWindow(QStringLiteral("Elsewhere"));
    ASSERT_FALSE(other.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.FocusWindow(other, 10s)) << s.Error().toStdString();

    const int bumpRow = menu + kPageRow + kFaderHeight + 20;
    std::size_t before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(At(desk, kColumn + kColumn / 2, bumpRow)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 2) == 255; }))
        << "the first click on bump 2 sent no flash";

    before = s.Messages().size();
    ASSERT_TRUE(s.FocusWindow(other, 10s)) << s.Error().toStdString();
    ASSERT_TRUE(s.Xdotool(At(desk, kColumn + kColumn / 2, bumpRow)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 2) == 0; }))
        << "the second click did not release bump 2";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}

INSTANTIATE_TEST_SUITE_P(WindowManagerEndToEnd, DeskDisplays, ::testing::Bool(), DisplayName);
