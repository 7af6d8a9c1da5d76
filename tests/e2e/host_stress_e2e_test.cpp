// The host link under stress with the real desk: keys after the menu bar was
// used, a host that stops reading while the operator types, hosts that start
// or are replaced mid-show.

#include <csignal>
#include <random>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

constexpr int WM_COPYDATA = 0x4A;
constexpr int WM_KEYDOWN = 0x100;

// Preferences > Pass Keypresses To Halvex.
bool TurnOnForwarding(DeskSession& s, const QString& window) {
    return s.Xdotool({"mousemove", "--window", window, "300", "300", "click", "1"}) &&
           s.Xdotool({"key", "--delay", "100", "alt+p", "p"});
}

// Action > All Faders To 100% from the keyboard.
bool AllFadersTo100(DeskSession& s) {
    return s.Xdotool({"key", "--delay", "60", "alt+a", "Down", "Down", "Down", "Return"});
}

// The key-downs of letters after message `from`, as lower-case letters.
QString LettersDown(DeskSession& s, std::size_t from) {
    QString out;
    const auto all = s.Messages();
    for (std::size_t i = from; i < all.size(); ++i) {
        const int code = WParam(all[i]) & 0xFF;
        if (Msg(all[i]) == WM_KEYDOWN && code >= 'A' && code <= 'Z') out += QChar(code - 'A' + 'a');
    }
    return out;
}

// Types `letters` and waits until the host has the last one's key-down.
bool TypeAndSee(DeskSession& s, const QString& letters) {
    const std::size_t from = s.Messages().size();
    if (!s.Xdotool({"type", "--delay", "30", letters})) return false;
    QDeadlineTimer deadline(10s);
    while (!deadline.hasExpired()) {
        if (LettersDown(s, from).endsWith(letters)) return true;
        s.WaitForMessages(s.Messages().size() + 1, 100ms);
    }
    return false;
}

// Connections open at the host's socket, from `ss`; -1 when it cannot be told.
int HostConnections(DeskSession& s) {
    QProcess ss;
    ss.start(QStringLiteral("ss"), {QStringLiteral("-xn")});
    if (!ss.waitForFinished(5000)) return -1;
    const QString socket = s.RuntimeDir() + QStringLiteral("/THXMainForm");
    int n = 0;
    for (const QString& line : QString::fromLocal8Bit(ss.readAllStandardOutput()).split('\n'))
        if (line.contains(socket) && line.contains(QStringLiteral("ESTAB"))) ++n;
    return n;
}

// CPU time the process has used, in clock ticks; -1 when unreadable.
long long CpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    return fields[11].toLongLong() + fields[12].toLongLong(); // utime, stime
}

// Waits until the desk has used no CPU for half a second: its queue is done.
bool WaitUntilIdle(DeskSession& s, std::chrono::seconds timeout) {
    QDeadlineTimer deadline(timeout);
    long long before = CpuTicks(s.DeskPid());
    while (!deadline.hasExpired()) {
        QThread::msleep(500);
        const long long now = CpuTicks(s.DeskPid());
        if (now == before) return true;
        before = now;
    }
    return false;
}

struct QRgbTriple {
    int R, G, B;
};
// The indicator's colours (TLinkIndicator::ColourFor).
constexpr QRgbTriple kConnected{0x1a, 0x7f, 0x37};
constexpr QRgbTriple kNotAnswering{0xb3, 0x59, 0x00};

// Pixels of the window's top strip (the menu bar, with the host link's
// indicator at its end) close to `rgb`; -1 when the strip cannot be read.
int PixelsNear(DeskSession& s, const QString& window, QRgbTriple rgb) {
    QString geometry;
    if (!s.Xdotool({"getwindowgeometry", "--shell", window}, &geometry)) return -1;
    const int width = geometry.section(QStringLiteral("WIDTH="), 1).section('\n', 0, 0).toInt();
    if (width <= 0) return -1;
    constexpr int kStrip = 28;
    QProcess grab;
    grab.setProcessEnvironment(s.Environment());
    grab.start(QStringLiteral("import"),
               {"-window", window, "-crop", QStringLiteral("%1x%2+0+0").arg(width).arg(kStrip),
                "+repage", "-depth", "8", "rgb:-"});
    if (!grab.waitForFinished(10000) || grab.exitCode() != 0) return -1;
    const QByteArray pixels = grab.readAllStandardOutput();
    int near = 0;
    for (qsizetype i = 0; i + 2 < pixels.size(); i += 3) {
        const int d = std::abs(static_cast<unsigned char>(pixels[i]) - rgb.R) +
                      std::abs(static_cast<unsigned char>(pixels[i + 1]) - rgb.G) +
                      std::abs(static_cast<unsigned char>(pixels[i + 2]) - rgb.B);
        near += d <= 24 ? 1 : 0;
    }
    return near;
}

// Waits until the indicator is drawn in `rgb` (and `not` nowhere).
bool IndicatorShows(DeskSession& s, const QString& window, QRgbTriple rgb,
                    std::chrono::milliseconds timeout) {
    QDeadlineTimer deadline(timeout);
    do {
        if (PixelsNear(s, window, rgb) >= 4) return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

class MenuLoopEndToEnd : public ::testing::TestWithParam<bool> {};

} // namespace

// Alt tapped, a menu opened from the keyboard or with the mouse and closed
// with Escape: once the menu loop ends the keys go to the host again, and a
// letter does not open the menu it underlines.
TEST_P(MenuLoopEndToEnd, KeysAreForwardedAgainOnceTheMenuLoopEnds) {
    DeskSession s;
    s.SetWindowManager(GetParam());
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    // The strip between the bump buttons and the second row of faders: no
    // control there takes the focus, so none has it from the start on.
    const auto background = [&] {
        return s.Xdotool({"mousemove", "--window", window, "300", "318", "click", "1"});
    };
    ASSERT_TRUE(background());
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "100", "alt+p", "p"}));
    ASSERT_TRUE(TypeAndSee(s, QStringLiteral("q"))) << "no key forwarded after the menu was used";

    ASSERT_TRUE(background());
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt", "Escape"}));
    EXPECT_TRUE(TypeAndSee(s, QStringLiteral("ab"))) << "after Alt, Escape";

    ASSERT_TRUE(background());
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+f", "Escape", "Escape"}));
    EXPECT_TRUE(TypeAndSee(s, QStringLiteral("cd"))) << "after Alt+F, Escape, Escape";

    ASSERT_TRUE(background());
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+a", "Escape"}));
    ASSERT_TRUE(background());
    // Had the menu bar kept the keyboard, "a" would open the Action menu and
    // "e" would go to it.
    EXPECT_TRUE(TypeAndSee(s, QStringLiteral("ae"))) << "after Alt+A, Escape and a click";

    // The File menu opened with the mouse, closed with Escape twice.
    ASSERT_TRUE(background());
    ASSERT_TRUE(s.Xdotool({"mousemove", "--window", window, "15", "8", "click", "1"}));
    QThread::msleep(300);
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "Escape", "Escape"}));
    EXPECT_TRUE(TypeAndSee(s, QStringLiteral("gh"))) << "after the mouse's menu and Escape twice";
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManager, MenuLoopEndToEnd, ::testing::Bool(),
                         [](const auto& info) {
                             return info.param ? std::string("Openbox") : std::string("Bare");
                         });

// 100,000 letters typed at a stopped host, then "All Faders To 100%": one
// connection throughout, and once the host continues it has the newest
// levels within a second and the keys in order, the oldest of those it
// could not take dropped.
TEST(HostStressEndToEnd, StoppedHostGetsTheNewestLevelsAndTheKeysInOrder) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    ASSERT_TRUE(TurnOnForwarding(s, window));
    ASSERT_TRUE(TypeAndSee(s, QStringLiteral("q"))) << "forwarding is not on";
    const std::size_t before = s.Messages().size();

    QString letters;
    std::mt19937 random(7);
    constexpr int kLetters = 100000;
    letters.reserve(kLetters);
    for (int i = 0; i < kLetters; ++i)
        letters += QChar('a' + static_cast<int>(random() % 26));
    const QString file = s.WorkDir() + QStringLiteral("/letters.txt");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(letters.toLatin1());
    }

    const auto host = static_cast<pid_t>(s.HostPid());
    ASSERT_GT(host, 0);
    ASSERT_EQ(::kill(host, SIGSTOP), 0);
    QProcess typing;
    typing.setProcessEnvironment(s.Environment());
    typing.start(QStringLiteral("xdotool"), {"type", "--delay", "0", "--file", file});
    ASSERT_TRUE(typing.waitForFinished(150000));
    ASSERT_TRUE(AllFadersTo100(s));
    ASSERT_TRUE(WaitUntilIdle(s, 60s)) << "the desk is still busy";
    EXPECT_EQ(HostConnections(s), 1) << "the desk opened more connections to the stopped host";

    QElapsedTimer sinceContinue;
    ASSERT_EQ(::kill(host, SIGCONT), 0);
    sinceContinue.start();
    const auto newest = [](const QJsonObject& m) { return AllLevelsAre(m, 255); };
    ASSERT_TRUE(WaitFor(s, before, newest, 1s)) << "the newest levels did not come within 1 s";
    RecordProperty("newest_levels_ms", static_cast<int>(sinceContinue.elapsed()));
    // Everything the host was handed, read to the end.
    std::size_t seen = 0;
    while (s.Messages().size() != seen) {
        seen = s.Messages().size();
        s.WaitForMessages(seen + 1, 1s);
    }
    const auto all = s.Messages();
    int lastFrame = -1;
    for (std::size_t i = before; i < all.size(); ++i)
        if (Msg(all[i]) == WM_COPYDATA) lastFrame = static_cast<int>(i);
    ASSERT_GE(lastFrame, 0);
    EXPECT_TRUE(AllLevelsAre(all[static_cast<std::size_t>(lastFrame)], 255))
        << "the host's last frame is not the newest levels";
    EXPECT_EQ(HostConnections(s), 1);

    // The letters the host got are the first ones the socket took, then the
    // newest ones the desk kept: in order, one gap at most.
    const QString got = LettersDown(s, before);
    ASSERT_FALSE(got.isEmpty());
    qsizetype head = 0;
    while (head < got.size() && got[head] == letters[head])
        ++head;
    const QString tail = got.mid(head);
    EXPECT_TRUE(letters.endsWith(tail)) << "letters out of order after the first " << head;
    EXPECT_LE(got.size(), letters.size());
    RecordProperty("letters_delivered", static_cast<int>(got.size()));
    std::printf("letters delivered: %lld of %d (%lld dropped)\n",
                static_cast<long long>(got.size()), kLetters,
                static_cast<long long>(kLetters - got.size()));
}

// A host that starts after the last change, or is restarted mid-show, gets
// the current levels within a second; a host that had every frame gets
// nothing more.
TEST(HostStressEndToEnd, HostThatStartsOrRestartsGetsTheCurrentLevels) {
    DeskSession s;
    ASSERT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(s.Xdotool({"mousemove", "--window", window, "300", "300", "click", "1"}));
    ASSERT_TRUE(AllFadersTo100(s));
    QThread::msleep(500);

    const auto full = [](const QJsonObject& m) { return AllLevelsAre(m, 255); };
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    EXPECT_TRUE(WaitFor(s, 0, full, 1s)) << "a host that started later has no levels";

    s.StopHost();
    const std::size_t restartedAt = s.Messages().size();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    EXPECT_TRUE(WaitFor(s, restartedAt, full, 1s)) << "a restarted host has no levels";

    // It had the newest frame: nothing more comes.
    QThread::msleep(1500);
    std::size_t frames = 0;
    const auto all = s.Messages();
    for (std::size_t i = restartedAt; i < all.size(); ++i)
        frames += Msg(all[i]) == WM_COPYDATA ? 1 : 0;
    EXPECT_EQ(frames, 1u);
}

TEST(HostStressEndToEnd, HostThatHadEveryFrameFromTheStartGetsNothingExtra) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    QThread::msleep(1000);
    const std::size_t settled = s.Messages().size();
    QThread::msleep(1500);
    EXPECT_EQ(s.Messages().size(), settled) << "frames beyond those of the start-up";
}

// A host that hangs is replaced by a healthy one at the same path: the
// healthy one is found and brought up to date without a level change.
TEST(HostStressEndToEnd, HungHostReplacedByAHealthyOneIsFoundWithinASecond) {
    DeskSession s;
    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor({"--no-reply"}) && s.StartDesk())
        << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(s.WaitForMessages(1, 20s));
    ASSERT_TRUE(s.Xdotool({"mousemove", "--window", window, "300", "300", "click", "1"}));
    ASSERT_TRUE(AllFadersTo100(s));
    QThread::msleep(500);
    s.StopHost();
    const std::size_t replacedAt = s.Messages().size();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    EXPECT_TRUE(WaitFor(
        s, replacedAt, [](const QJsonObject& m) { return AllLevelsAre(m, 255); }, 1s));
}

// The window's indicator follows the host within a second whatever happens:
// a hung host, its healthy replacement, a host stopped while keys are typed
// and continued.
TEST(HostStressEndToEnd, IndicatorTellsTheTruthWithinASecond) {
    DeskSession s;
    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor({"--no-reply"}) && s.StartDesk())
        << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(s.WaitForMessages(1, 20s));
    EXPECT_TRUE(IndicatorShows(s, window, kNotAnswering, 2s)) << "the hung host";

    s.StopHost();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    EXPECT_TRUE(IndicatorShows(s, window, kConnected, 1s)) << "its healthy replacement";

    ASSERT_TRUE(TurnOnForwarding(s, window));
    ASSERT_TRUE(TypeAndSee(s, QStringLiteral("q")));
    const auto host = static_cast<pid_t>(s.HostPid());
    ASSERT_EQ(::kill(host, SIGSTOP), 0);
    ASSERT_TRUE(s.Xdotool({"type", "--delay", "0", QString(3000, QLatin1Char('w'))}));
    ASSERT_TRUE(WaitUntilIdle(s, 30s));
    EXPECT_TRUE(IndicatorShows(s, window, kNotAnswering, 1s)) << "the stopped host";
    EXPECT_EQ(PixelsNear(s, window, kConnected), 0);
    ASSERT_EQ(::kill(host, SIGCONT), 0);
    EXPECT_TRUE(IndicatorShows(s, window, kConnected, 1s)) << "the host that continued";
}

// X repeats no modifier; the desk makes Windows' repeats of a held Shift.
TEST(HostStressEndToEnd, HeldShiftRepeatsThenReleasesOnce) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    ASSERT_TRUE(TurnOnForwarding(s, window));
    ASSERT_TRUE(TypeAndSee(s, QStringLiteral("q")));
    const std::size_t from = s.Messages().size();
    ASSERT_TRUE(s.Xdotool({"keydown", "shift"}));
    QThread::msleep(1500);
    ASSERT_TRUE(s.Xdotool({"keyup", "shift"}));
    ASSERT_TRUE(WaitFor(s, from, [](const QJsonObject& m) { return Msg(m) == 0x101; }));
    std::vector<QJsonObject> shift;
    const auto all = s.Messages();
    for (std::size_t i = from; i < all.size(); ++i)
        if ((WParam(all[i]) & 0xFF) == 0x10) shift.push_back(all[i]);
    ASSERT_GE(shift.size(), 4u) << "no repeats of the held Shift";
    EXPECT_EQ(WParam(shift.front()), 0x110);
    EXPECT_EQ(LParam(shift.front()), 0x002A0001);
    for (std::size_t i = 1; i + 1 < shift.size(); ++i) {
        EXPECT_EQ(Msg(shift[i]), WM_KEYDOWN);
        EXPECT_EQ(WParam(shift[i]), 0x110);
        EXPECT_EQ(LParam(shift[i]), 0x402A0001);
    }
    EXPECT_EQ(Msg(shift.back()), 0x101);
    EXPECT_EQ(LParam(shift.back()), 0xC02A0001);
}
