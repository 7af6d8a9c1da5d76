// The real desk, the wine bridge and a Windows mock host under wine: frames
// and keys arrive as the window messages they stand for, and the bridge keeps
// a host's rules when the window, or the bridge itself, goes wrong.

#include <csignal>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "WineSession.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

constexpr std::uint32_t WM_KEYDOWN = 0x100;
constexpr std::uint32_t WM_KEYUP = 0x101;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x104;
constexpr std::uint32_t WM_SYSKEYUP = 0x105;

class WinePrefixEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        QElapsedTimer timer;
        timer.start();
        QString error;
        ASSERT_TRUE(CreateWinePrefix(&error)) << error.toStdString();
        std::printf("wine prefix made in %lld ms\n", static_cast<long long>(timer.elapsed()));
    }
    void TearDown() override { RemoveWinePrefix(); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new WinePrefixEnvironment);

// Preferences > Pass Keypresses To Halvex.
bool TurnOnForwarding(DeskSession& s, const QString& window) {
    return s.Xdotool({"mousemove", "--window", window, "300", "300", "click", "1"}) &&
           s.Xdotool({"key", "--delay", "100", "alt+p", "p"});
}

// Action > All Faders To 100% (downs = 3) or To 50% (downs = 2), typed
// into the desk window once it has the keyboard focus.
bool AllFaders(DeskSession& s, const QString& window, int downs) {
    if (!s.FocusWindow(window, 5s)) return false;
    QStringList keys{"key", "--delay", "60", "alt+a"};
    for (int i = 0; i < downs; ++i)
        keys << "Down";
    keys << "Return";
    return s.Xdotool(keys);
}

// The display, the mock host, the bridge and the desk, in that order; the
// desk's window, once the mock host has the first frames.
testing::AssertionResult StartThroughBridge(DeskSession& s, WineSession& wine, QString& window) {
    if (!s.StartDisplay()) return testing::AssertionFailure() << s.Error().toStdString();
    if (!wine.StartMockHost() || !wine.StartBridge())
        return testing::AssertionFailure() << wine.Error().toStdString();
    if (!s.StartDesk()) return testing::AssertionFailure() << s.Error().toStdString();
    window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 30s);
    if (window.isEmpty()) return testing::AssertionFailure() << "the desk's window did not show";
    if (!wine.WaitForFrames(3, 30s))
        return testing::AssertionFailure() << "the mock host got no frames";
    return testing::AssertionSuccess();
}

// The frames the mock host has once they stop coming.
std::vector<QByteArray> Settled(const WineSession& wine) {
    return SettledFrames([&] { return wine.Frames(); }, 1s, 20s);
}

QByteArray AllAt(int level) {
    return QByteArray(512, static_cast<char>(level));
}

std::vector<QByteArray> MonitorFrames(DeskSession& s) {
    std::vector<QByteArray> frames;
    for (const QJsonObject& m : s.Messages()) {
        const QJsonArray levels = m.value(QStringLiteral("levels")).toArray();
        if (levels.size() != 512) continue;
        QByteArray frame(512, '\0');
        for (int i = 0; i < 512; ++i)
            frame[i] = static_cast<char>(levels.at(i).toInt());
        frames.push_back(frame);
    }
    return frames;
}

struct Recorded {
    std::vector<QByteArray> Frames;
    std::size_t StartUp = 0; // frames of the start-up
    std::size_t Command = 0; // ... and after All Faders To 100%
    QStringList Faults;
};

// Start-up, All Faders To 100%, then fader 2 dragged down in steps; the
// frames a host received, through the bridge or straight from the desk.
Recorded RecordFrames(bool throughBridge) {
    Recorded out;
    DeskSession s;
    WineSession wine(s);
    EXPECT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    if (throughBridge) {
        EXPECT_TRUE(wine.StartMockHost()) << wine.Error().toStdString();
        EXPECT_TRUE(wine.StartBridge()) << wine.Error().toStdString();
    } else {
        EXPECT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    }
    EXPECT_TRUE(s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 30s);
    EXPECT_FALSE(window.isEmpty());
    if (window.isEmpty()) return out;
    const auto frames = [&] { return throughBridge ? wine.Frames() : MonitorFrames(s); };
    const QDeadlineTimer first(30s);
    while (frames().size() < 3 && !first.hasExpired())
        s.WaitForMessages(1, 50ms);
    out.StartUp = SettledFrames(frames, 1500ms, 30s).size();

    EXPECT_TRUE(AllFaders(s, window, 3));
    out.Command = SettledFrames(frames, 1500ms, 30s).size();

    const int faderTop = MenuHeight(s, window) + kPageRow;
    const int x = kColumn + kColumn / 2;
    // Pressed in the middle of the track, the fader jumps there; then down in steps.
    EXPECT_TRUE(s.Xdotool(At(window, x, faderTop + 105)));
    EXPECT_TRUE(s.Xdotool({"mousedown", "1"}));
    SettledFrames(frames, 300ms, 10s);
    for (int y = 120; y <= kFaderHeight; y += 15) {
        EXPECT_TRUE(s.Xdotool(At(window, x, faderTop + y)));
        SettledFrames(frames, 300ms, 10s);
    }
    EXPECT_TRUE(s.Xdotool({"mouseup", "1"}));
    out.Frames = SettledFrames(frames, 1500ms, 30s);
    out.Faults = wine.Faults();
    return out;
}

std::string Describe(const std::vector<QByteArray>& frames) {
    std::string out;
    for (const QByteArray& f : frames)
        out += f.left(4).toHex().toStdString() + " ";
    return out;
}

} // namespace

TEST(WineBridge, FramesReachTheWindowExactlyAsTheReferenceHostGetsThem) {
    const Recorded direct = RecordFrames(false);
    const Recorded bridged = RecordFrames(true);
    ASSERT_GE(direct.StartUp, 3u);
    ASSERT_GT(direct.Command, direct.StartUp);
    ASSERT_GT(direct.Frames.size(), direct.Command) << "the drag gave no frames";
    EXPECT_EQ(direct.Frames[direct.Command - 1], AllAt(255));

    EXPECT_TRUE(bridged.Faults.isEmpty()) << bridged.Faults.join('\n').toStdString();
    EXPECT_EQ(bridged.StartUp, direct.StartUp) << "start-up";
    EXPECT_EQ(bridged.Command, direct.Command) << "All Faders To 100%";
    ASSERT_EQ(bridged.Frames.size(), direct.Frames.size())
        << "bridged: " << Describe(bridged.Frames) << "\ndirect: " << Describe(direct.Frames);
    for (std::size_t i = 0; i < direct.Frames.size(); ++i)
        EXPECT_EQ(bridged.Frames[i], direct.Frames[i]) << "frame " << i;
}

TEST(WineBridge, KeysReachTheWindowWithTheDesksWParamAndLParam) {
    DeskSession s;
    WineSession wine(s);
    QString window;
    ASSERT_TRUE(StartThroughBridge(s, wine, window));
    ASSERT_TRUE(TurnOnForwarding(s, window));
    // The release of the menu's own key may come once forwarding is on.
    QThread::msleep(500);
    const std::size_t from = wine.Keys().size();
    ASSERT_LE(from, 1u) << "keys before forwarding was on";

    // Shift+A, Up, Ctrl+X, and F10 last: it is a system key.
    for (const char* step : {"keydown shift", "keydown a", "keyup a", "keyup shift", "key Up",
                             "keydown ctrl", "keydown x", "keyup x", "keyup ctrl", "key F10"})
        ASSERT_TRUE(s.Xdotool(QString::fromLatin1(step).split(' ')));
    const std::vector<LoggedKey> expected = {
        {WM_KEYDOWN, 0x110, 0x002A0001},   {WM_KEYDOWN, 0x141, 0x001E0001},
        {WM_KEYUP, 0x141, 0xC01E0001},     {WM_KEYUP, 0x10, 0xC02A0001},
        {WM_KEYDOWN, 0x26, 0x01480001},    {WM_KEYUP, 0x26, 0xC1480001},
        {WM_KEYDOWN, 0x211, 0x001D0001},   {WM_KEYDOWN, 0x258, 0x002D0001},
        {WM_KEYUP, 0x258, 0xC02D0001},     {WM_KEYUP, 0x11, 0xC01D0001},
        {WM_SYSKEYDOWN, 0x79, 0x00440001}, {WM_SYSKEYUP, 0x79, 0xC0440001}};
    wine.WaitForKeys(from + expected.size(), 15s);
    QThread::msleep(300); // nothing more may come
    std::vector<LoggedKey> keys = wine.Keys();
    keys.erase(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(from));
    ASSERT_EQ(keys.size(), expected.size()) << wine.BridgeOutput().toStdString();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].Msg, expected[i].Msg) << "key " << i;
        EXPECT_EQ(keys[i].WParam, expected[i].WParam) << "key " << i;
        EXPECT_EQ(keys[i].LParam, expected[i].LParam) << "key " << i;
    }

    // A held key: repeated key-downs with the previous-state bit, one key-up.
    // Out of the menu bar F10 may have given the keyboard to.
    ASSERT_TRUE(s.Xdotool({"key", "Escape"}));
    ASSERT_TRUE(s.FocusWindow(window, 5s));
    QThread::msleep(300);
    const std::size_t held = wine.Keys().size();
    ASSERT_TRUE(s.Xdotool({"keydown", "a"}));
    wine.WaitForKeys(held + 3, 15s);
    ASSERT_TRUE(s.Xdotool({"keyup", "a"}));
    const QDeadlineTimer up(10s);
    while ((wine.Keys().empty() || wine.Keys().back().Msg != WM_KEYUP) && !up.hasExpired())
        QThread::msleep(50);
    keys = wine.Keys();
    keys.erase(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(held));
    ASSERT_GE(keys.size(), 4u) << "the display did not repeat the held key";
    EXPECT_EQ(keys.front(), (LoggedKey{WM_KEYDOWN, 0x41, 0x001E0001}));
    for (std::size_t i = 1; i + 1 < keys.size(); ++i)
        EXPECT_EQ(keys[i], (LoggedKey{WM_KEYDOWN, 0x41, 0x401E0001})) << "repeat " << i;
    EXPECT_EQ(keys.back(), (LoggedKey{WM_KEYUP, 0x41, 0xC01E0001}));
}

TEST(WineBridge, WithoutAWindowFramesAreDroppedUntilTheMockHostIsBackAfterACrash) {
    DeskSession s;
    WineSession wine(s);
    ASSERT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    ASSERT_TRUE(wine.StartBridge()) << wine.Error().toStdString();
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 30s);
    ASSERT_FALSE(window.isEmpty());

    // No window: the desk is answered at once and sees a connected host.
    ASSERT_TRUE(AllFaders(s, window, 3));
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("connected"), 15s))
        << IndicatorState(s, window).toStdString();
    EXPECT_TRUE(wine.BridgeOutput().contains(QStringLiteral("dropped: no THXMainForm window")))
        << wine.BridgeOutput().toStdString();

    ASSERT_TRUE(wine.StartMockHost()) << wine.Error().toStdString();
    ASSERT_TRUE(AllFaders(s, window, 2));
    const std::vector<QByteArray> first = Settled(wine);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), AllAt(128));

    // The host crashes; the desk goes on; the host is started again.
    ASSERT_TRUE(wine.KillMockHost());
    ASSERT_TRUE(AllFaders(s, window, 3));
    QThread::msleep(1000);
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("connected"), 5s));
    ASSERT_TRUE(wine.StartMockHost()) << wine.Error().toStdString();
    const std::size_t before = wine.Frames().size();
    EXPECT_EQ(before, first.size()) << "frames while no window was there";
    ASSERT_TRUE(AllFaders(s, window, 2));
    const std::vector<QByteArray> second = Settled(wine);
    ASSERT_GT(second.size(), before);
    EXPECT_EQ(second.back(), AllAt(128));
    EXPECT_EQ(second.size() - before, first.size()) << "the same command gives as many frames";

    // Replaced between two messages, the window the bridge knew is gone: a
    // key and then a frame go to the new one, once each.
    ASSERT_TRUE(TurnOnForwarding(s, window));
    QThread::msleep(500);
    ASSERT_TRUE(wine.KillMockHost());
    ASSERT_TRUE(wine.StartMockHost()) << wine.Error().toStdString();
    const std::size_t keysBefore = wine.Keys().size();
    ASSERT_TRUE(s.Xdotool({"key", "Up"}));
    wine.WaitForKeys(keysBefore + 2, 15s);
    const std::vector<LoggedKey> keys = wine.Keys();
    ASSERT_EQ(keys.size(), keysBefore + 2) << wine.BridgeOutput().toStdString();
    EXPECT_EQ(keys[keysBefore], (LoggedKey{WM_KEYDOWN, 0x26, 0x01480001}));
    EXPECT_EQ(keys[keysBefore + 1], (LoggedKey{WM_KEYUP, 0x26, 0xC1480001}));
    const std::size_t framesBefore = wine.Frames().size();
    ASSERT_TRUE(AllFaders(s, window, 3));
    const std::vector<QByteArray> third = Settled(wine);
    EXPECT_EQ(third.size() - framesBefore, first.size());
    EXPECT_EQ(third.back(), AllAt(255));
    EXPECT_TRUE(wine.Faults().isEmpty());
}

TEST(WineBridge, HungWindowShowsAsNotAnsweringAndGetsTheNewestLevelsOnItsReturn) {
    DeskSession s;
    WineSession wine(s);
    QString window;
    ASSERT_TRUE(StartThroughBridge(s, wine, window));
    const std::size_t before = Settled(wine).size();
    ASSERT_TRUE(WaitForIndicator(s, window, QStringLiteral("connected"), 10s))
        << IndicatorState(s, window).toStdString();

    const auto sentByDesk = [&] {
        return wine.BridgeOutput().count(QStringLiteral(" from desk connection "));
    };
    const qsizetype sentBefore = sentByDesk();
    ASSERT_TRUE(wine.SetHung(true));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(AllFaders(s, window, 3));
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("not answering"), 10s))
        << IndicatorState(s, window).toStdString();
    RecordProperty("not_answering_shown_ms", static_cast<int>(timer.elapsed()));
    // The desk goes on: its menus still open and act while the window hangs.
    ASSERT_TRUE(AllFaders(s, window, 2));
    ASSERT_TRUE(AllFaders(s, window, 3));
    QThread::msleep(500);
    EXPECT_EQ(wine.Frames().size(), before) << "a hung window handled frames";
    EXPECT_EQ(sentByDesk() - sentBefore, 1)
        << "the desk waits once for a host not answering, then keeps its frames";

    ASSERT_TRUE(wine.SetHung(false));
    timer.restart();
    ASSERT_TRUE(wine.WaitForFrames(before + 2, 10s));
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("connected"), 10s));
    const std::vector<QByteArray> frames = Settled(wine);
    RecordProperty("recovery_ms", static_cast<int>(timer.elapsed()));
    EXPECT_EQ(frames.size(), before + 2) << "the frame that waited, then only the newest levels";
    EXPECT_EQ(frames.back(), AllAt(255));

    ASSERT_TRUE(AllFaders(s, window, 2));
    const std::vector<QByteArray> after = Settled(wine);
    ASSERT_GT(after.size(), frames.size()) << "frames flow again";
    EXPECT_EQ(after.back(), AllAt(128));
    EXPECT_TRUE(wine.Faults().isEmpty());
}

TEST(WineBridge, SecondBridgeIsRefusedAndAKilledBridgeShowsAsNoHost) {
    DeskSession s;
    WineSession wine(s);
    QString window;
    ASSERT_TRUE(StartThroughBridge(s, wine, window));

    QString output;
    EXPECT_EQ(wine.RunSecondBridge(&output), 1);
    EXPECT_TRUE(output.contains(QStringLiteral("another host is listening at ") + s.RuntimeDir()))
        << output.toStdString();
    const std::size_t before = Settled(wine).size();
    ASSERT_TRUE(AllFaders(s, window, 3));
    const std::vector<QByteArray> frames = Settled(wine);
    ASSERT_GT(frames.size(), before) << "the first bridge lost its socket";
    EXPECT_EQ(frames.back(), AllAt(255));

    // Killed, the bridge leaves its socket behind: a refused connect, no host.
    ASSERT_TRUE(wine.KillBridge());
    QThread::msleep(300);
    ASSERT_TRUE(AllFaders(s, window, 2));
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("no host"), 10s))
        << IndicatorState(s, window).toStdString();

    // A new bridge takes the stale socket's place.
    ASSERT_TRUE(wine.StartBridge()) << wine.Error().toStdString();
    const std::size_t restarted = frames.size();
    ASSERT_TRUE(AllFaders(s, window, 3));
    const std::vector<QByteArray> later = Settled(wine);
    ASSERT_GT(later.size(), restarted);
    EXPECT_EQ(later.back(), AllAt(255));
    EXPECT_TRUE(WaitForIndicator(s, window, QStringLiteral("connected"), 10s));
}

TEST(WineBridge, RefusesToStartWithAWrongPrefixOrAnOpenSocketFolder) {
    DeskSession s; // only for its private folders
    const auto run = [&](const QString& prefix, const QString& runtime, QString* output) {
        QProcessEnvironment env = s.Environment();
        env.insert(QStringLiteral("WINEPREFIX"), prefix);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        QProcess bridge;
        bridge.setProcessEnvironment(env);
        bridge.setProcessChannelMode(QProcess::MergedChannels);
        bridge.start(QStringLiteral(VANTRELLE_WINE_BRIDGE), {});
        if (!bridge.waitForFinished(30000)) {
            bridge.kill();
            bridge.waitForFinished(3000);
            return -1;
        }
        *output = QString::fromLocal8Bit(bridge.readAll());
        return bridge.exitCode();
    };
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    QString output;

    // A missing prefix would be made afresh by wine, with no host window in it.
    EXPECT_EQ(run(s.WorkDir() + QStringLiteral("/no-prefix"), s.RuntimeDir(), &output), 1);
    EXPECT_TRUE(output.contains(QStringLiteral("does not exist"))) << output.toStdString();
    EXPECT_FALSE(QFile::exists(s.WorkDir() + QStringLiteral("/no-prefix")));
    EXPECT_EQ(run(s.WorkDir(), s.RuntimeDir(), &output), 1);
    EXPECT_TRUE(output.contains(QStringLiteral("is not a wine prefix"))) << output.toStdString();

    // A socket folder others can write to: the bridge itself refuses it.
    const QString open = s.WorkDir() + QStringLiteral("/open");
    ASSERT_TRUE(QDir().mkpath(open));
    ASSERT_TRUE(QFile::setPermissions(open, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::WriteOther |
                                                QFileDevice::ReadOther | QFileDevice::ExeOther));
    EXPECT_EQ(run(prefix, open, &output), 1);
    EXPECT_TRUE(output.contains(QStringLiteral("other users can write to the socket folder")))
        << output.toStdString();
    EXPECT_FALSE(QFile::exists(open + QStringLiteral("/THXMainForm")));
    QProcess kill;
    kill.start(QStringLiteral(VANTRELLE_WINESERVER), {QStringLiteral("-k")});
    kill.waitForFinished(20000);
}
