// Undo and snapshots on the real desk, driven by keys and the mouse, read at
// the reference host: an undone bulk command or Open gives the host back the
// frame it had, and a snapshot stored before a restart fades in after it.

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

constexpr int kWmCopyData = 0x4A;
const QString kTitle = QStringLiteral("Vantrelle 4.03");

std::vector<QJsonObject> FramesOf(DeskSession& s) {
    std::vector<QJsonObject> frames;
    for (const QJsonObject& m : s.Messages())
        if (Msg(m) == kWmCopyData) frames.push_back(m);
    return frames;
}

QJsonArray LastLevels(DeskSession& s) {
    const auto frames = FramesOf(s);
    return frames.empty() ? QJsonArray() : frames.back().value(QStringLiteral("levels")).toArray();
}

// Waits until the host's newest frame satisfies pred.
bool WaitForLastFrame(DeskSession& s, const std::function<bool(const QJsonArray&)>& pred,
                      std::chrono::milliseconds timeout = 15s) {
    QDeadlineTimer deadline(timeout);
    for (;;) {
        if (pred(LastLevels(s))) return true;
        if (deadline.hasExpired()) return false;
        s.WaitForMessages(s.Messages().size() + 1, 50ms);
    }
}

// Waits until nothing new arrived for `quiet`.
void WaitForQuiet(DeskSession& s, std::chrono::milliseconds quiet = 500ms) {
    for (std::size_t n = s.Messages().size();;) {
        s.WaitForMessages(n + 1, quiet);
        const std::size_t now = s.Messages().size();
        if (now == n) return;
        n = now;
    }
}

class SafetyEndToEnd : public ::testing::Test {
protected:
    void Start() {
        window_ = s.StartAll();
        ASSERT_FALSE(window_.isEmpty()) << s.Error().toStdString();
        faderTop_ = MenuHeight(s, window_) + kPageRow;
        ASSERT_GT(faderTop_, kPageRow);
        ASSERT_TRUE(s.WaitForMessages(2, 20s));
        WaitForQuiet(s);
    }
    // Drags the fader of `slot` to the top: its channel goes to 255.
    void DragToTop(int slot) {
        const int x = (slot - 1) * kColumn + kColumn / 2;
        ASSERT_TRUE(s.Xdotool(At(window_, x, faderTop_ + 105)));
        ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
        ASSERT_TRUE(s.Xdotool(At(window_, x, faderTop_ + 5)));
        ASSERT_TRUE(s.Xdotool(At(window_, x, 2)));
        ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    }
    // Clicks into the middle of a fader's track: a middle level.
    void ClickMiddle(int slot) {
        ASSERT_TRUE(s.Xdotool(At(window_, (slot - 1) * kColumn + kColumn / 2, faderTop_ + 105)));
        ASSERT_TRUE(s.Xdotool({"click", "1"}));
    }
    bool Keys(const QStringList& keys) {
        return s.Xdotool(QStringList{"key", "--delay", "80"} + keys);
    }

    DeskSession s;
    QString window_;
    int faderTop_ = 0;
};

TEST_F(SafetyEndToEnd, AllFadersTo0ThenUndoGivesTheHostThePreviousFrameExactly) {
    Start();
    DragToTop(2);
    ClickMiddle(5);
    ASSERT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) {
        return l.at(1).toInt() == 255 && l.at(4).toInt() > 0 && l.at(4).toInt() < 255;
    }));
    WaitForQuiet(s);
    const QJsonArray before = LastLevels(s);

    // Action > All Faders To 0%: the second item.
    ASSERT_TRUE(Keys({"alt+a", "Down", "Return"}));
    ASSERT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) {
        return l.size() == 512 &&
               std::all_of(l.begin(), l.end(), [](auto v) { return v.toInt() == 0; });
    })) << "All Faders To 0% did not reach the host";
    WaitForQuiet(s);
    const std::size_t framesBefore = FramesOf(s).size();

    // What xdotool alone costs, with a key that does nothing.
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(s.Xdotool({"key", "ctrl"}));
    const qint64 xdotoolAlone = took.restart();
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+z"}));
    ASSERT_TRUE(WaitForLastFrame(s, [&](const QJsonArray& l) { return l == before; }))
        << "undo did not give the host its previous frame";
    std::printf("[ figure ] ctrl+z to the restored frame at the host: %lld ms through xdotool "
                "(xdotool alone %lld ms)\n",
                took.elapsed(), xdotoolAlone);
    WaitForQuiet(s);
    EXPECT_EQ(FramesOf(s).size(), framesBefore + 1) << "undo sends one frame";
    EXPECT_EQ(LastLevels(s), before);

    // Redo puts the zeros back.
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+shift+z"}));
    EXPECT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) { return l.at(1).toInt() == 0; }));
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window_)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

// With a window manager the desk is activated through it; its keys still
// reach it and the host.
TEST_F(SafetyEndToEnd, UndoAndBlackoutKeysWorkUnderAWindowManager) {
    s.SetWindowManager(true);
    Start();
    ASSERT_TRUE(s.FocusWindow(window_, 10s)) << s.Error().toStdString();
    DragToTop(4);
    ASSERT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) { return l.at(3).toInt() == 255; }));
    WaitForQuiet(s);
    const std::size_t frames = FramesOf(s).size();
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+b"}));
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+z"}));
    EXPECT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) { return l.at(3).toInt() == 0; }))
        << "Ctrl+Z did not undo the drag";
    WaitForQuiet(s);
    EXPECT_EQ(FramesOf(s).size(), frames + 1) << "the blackout sent the host a frame";
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window_)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

// A layout of 33,800 bytes with channel `channel` at `level`, as a new one is.
QByteArray Layout(int channel, int level) {
    QByteArray image(33800, '\0');
    const auto put32 = [&](int offset, std::uint32_t v) {
        for (int b = 0; b < 4; ++b)
            image[offset + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
    };
    put32(4, 1);
    image[8 + channel - 1] = static_cast<char>(level);
    const std::pair<int, std::uint32_t> colours[] = {{23560, 0x808080},
                                                     {25608, 0xC0C0C0},
                                                     {27656, 0xC0C0C0},
                                                     {29704, 0x808080},
                                                     {31752, 0x800000}};
    for (const auto& [offset, colour] : colours)
        for (int c = 0; c < 512; ++c)
            put32(offset + 4 * c, colour);
    return image;
}

TEST_F(SafetyEndToEnd, OpenThenUndoGivesBackTheLevelsAndTheWindowsFileName) {
    Start();
    DragToTop(1);
    ASSERT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) { return l.at(0).toInt() == 255; }));
    WaitForQuiet(s);
    const QJsonArray before = LastLevels(s);

    const QString path = s.WorkDir() + QStringLiteral("/wrong.HXI");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(Layout(40, 99)), 33800);
    file.close();

    ASSERT_TRUE(Keys({"alt+f", "o"}));
    const QString dialog = s.WaitForWindow(QStringLiteral("Open"), 10s);
    ASSERT_FALSE(dialog.isEmpty()) << "no Open dialog";
    ASSERT_TRUE(s.Xdotool({"type", "--delay", "20", path}));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForLastFrame(s, [](const QJsonArray& l) {
        return l.at(39).toInt() == 99 && l.at(0).toInt() == 0;
    })) << "the layout was not opened";
    EXPECT_FALSE(s.WaitForWindow(kTitle + QStringLiteral(" wrong.HXI"), 5s).isEmpty());
    WaitForQuiet(s);

    ASSERT_TRUE(s.Xdotool(At(window_, 500, 500)));
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+z"}));
    EXPECT_TRUE(WaitForLastFrame(s, [&](const QJsonArray& l) { return l == before; }))
        << "undo of Open did not give back the levels before it";
    EXPECT_TRUE(s.WaitForWindowGone(kTitle + QStringLiteral(" wrong.HXI"), 5s))
        << "the window still names the file whose opening was undone";
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window_)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

TEST_F(SafetyEndToEnd, ASnapshotStoredBeforeARestartFadesInAfterItOverTwoSeconds) {
    Start();
    DragToTop(1);
    ClickMiddle(3);
    ASSERT_TRUE(WaitForLastFrame(
        s, [](const QJsonArray& l) { return l.at(0).toInt() == 255 && l.at(2).toInt() > 0; }));
    WaitForQuiet(s);
    const QJsonArray look = LastLevels(s);

    // Ctrl+Shift+1: the store dialog, its fade time first; Return stores.
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+shift+1"}));
    ASSERT_FALSE(s.WaitForWindow(QStringLiteral("Store Snapshot 1"), 10s).isEmpty());
    ASSERT_TRUE(Keys({"ctrl+a", "2", "Return"}));
    const QString stored = s.ProgramDir() + QStringLiteral("/Snapshots.dat");
    QDeadlineTimer deadline(10s);
    while (!QFileInfo::exists(stored) && !deadline.hasExpired())
        s.WaitForMessages(s.Messages().size() + 1, 100ms);
    ASSERT_TRUE(QFileInfo::exists(stored)) << "no snapshots file beside Config.dat";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window_)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(20s), 0);

    const std::size_t firstRun = s.Messages().size();
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    window_ = s.WaitForWindow(kTitle, 20s);
    ASSERT_FALSE(window_.isEmpty());
    ASSERT_TRUE(s.WaitForMessages(firstRun + 2, 20s));
    WaitForQuiet(s);
    ASSERT_EQ(LastLevels(s).at(0).toInt(), 0) << "the restarted desk starts dark";
    const std::size_t recallFrom = s.Messages().size();

    ASSERT_TRUE(s.Xdotool(At(window_, 500, 500)));
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+1"}));
    // Each frame's arrival, seen by polling the host's output closely.
    std::vector<qint64> arrived;
    QElapsedTimer clock;
    clock.start();
    QDeadlineTimer fadeDeadline(15s);
    while (!fadeDeadline.hasExpired()) {
        const std::size_t n = s.Messages().size();
        for (std::size_t i = recallFrom + arrived.size(); i < n; ++i)
            arrived.push_back(clock.elapsed());
        if (n > recallFrom && LastLevels(s) == look) break;
        s.WaitForMessages(n + 1, 2ms);
    }
    WaitForQuiet(s);
    const auto all = s.Messages();
    std::vector<QJsonArray> fade;
    for (std::size_t i = recallFrom; i < all.size(); ++i)
        if (Msg(all[i]) == kWmCopyData)
            fade.push_back(all[i].value(QStringLiteral("levels")).toArray());
    ASSERT_FALSE(fade.empty()) << "the recall sent nothing";
    EXPECT_EQ(fade.back(), look) << "the last frame holds the snapshot exactly";
    EXPECT_GE(fade.size(), 10u) << "a fade, not a jump";
    EXPECT_LE(fade.size(), 2u * 44 + 2) << "more than 44 frames a second";
    for (std::size_t i = 1; i < fade.size(); ++i)
        for (int c = 0; c < 512; ++c)
            ASSERT_GE(fade[i].at(c).toInt(), fade[i - 1].at(c).toInt())
                << "channel " << c + 1 << " went back at frame " << i;
    if (arrived.size() > 1) {
        const double seconds = (arrived.back() - arrived.front()) / 1000.0;
        std::printf("[ figure ] 2 s fade: %zu frames at the host over %.2f s, %.1f frames/s\n",
                    fade.size(), seconds, (fade.size() - 1) / seconds);
    }
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window_)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

} // namespace
