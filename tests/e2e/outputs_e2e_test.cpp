// A person drives lights: olad listens for sACN, the desk is started with
// --sacn 1@127.0.0.1, a fader is dragged, and olad holds the level; and the
// same through olad's own client with --ola. Desk, display and olad all run
// inside a network namespace the test makes.

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "Olad.h"
#include "PrivateNetwork.h"
#include "Receiver.h"
#include "output/SacnPacket.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <optional>

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

// The desk started with the given output options; its window and where its
// faders start.
struct StartedDesk {
    QString window;
    int faderTop = 0;
};

StartedDesk StartDesk(DeskSession& s, const QStringList& options) {
    StartedDesk d;
    EXPECT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    EXPECT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    EXPECT_TRUE(s.StartDesk(options)) << s.Error().toStdString();
    d.window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    if (d.window.isEmpty()) return d;
    const int menu = MenuHeight(s, d.window);
    EXPECT_GT(menu, 0) << "the window's geometry could not be read";
    d.faderTop = menu + kPageRow;
    return d;
}

} // namespace

TEST(OutputsEndToEnd, FaderDraggedInTheDeskReachesOladOverSacn) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    TOlad olad("e131");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();

    DeskSession s;
    const StartedDesk d = StartDesk(s, {QStringLiteral("--sacn"), QStringLiteral("1@127.0.0.1")});
    ASSERT_FALSE(d.window.isEmpty()) << "the desk window did not appear";
    // The desk sends its zeros at the first show; olad has universe 1 from it.
    ASSERT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 0; })) << olad.Log();

    // Drag fader 1 from its middle to above its top.
    ASSERT_TRUE(s.Xdotool(At(d.window, kColumn / 2, d.faderTop + 105)));
    ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
    EXPECT_TRUE(WaitForChannel(1, 1, [](int v) { return v > 0 && v < 255; }))
        << "pressing the middle of the track gives olad a middle level";
    ASSERT_TRUE(s.Xdotool(At(d.window, kColumn / 2, d.faderTop + 5)));
    ASSERT_TRUE(s.Xdotool(At(d.window, kColumn / 2, 2)));
    ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 255; })) << "olad never held 255";
    const auto levels = TOlad::Fetch(1);
    ASSERT_TRUE(levels);
    EXPECT_EQ((*levels)[1], 0) << "only the dragged channel moved";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(d.window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

// The OLA output lives in a module the desk loads only when asked for it:
// started with --ola, the installed-beside module drives olad's universe.
TEST(OutputsEndToEnd, FaderPressedInTheDeskReachesOladThroughItsClientModule) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    TOlad olad("dummy");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Output, 1)) << olad.Error();

    DeskSession s;
    const StartedDesk d = StartDesk(s, {QStringLiteral("--ola"), QStringLiteral("1")});
    ASSERT_FALSE(d.window.isEmpty()) << "the desk window did not appear";
    ASSERT_TRUE(s.Xdotool(At(d.window, kColumn / 2, d.faderTop + 105)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    EXPECT_TRUE(WaitForChannel(1, 1, [](int v) { return v > 0 && v < 255; }))
        << "the middle level never reached olad: " << olad.Log();

    ASSERT_TRUE(s.ExitWithoutSavingLayout(d.window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

// Ended by its session, a terminal or a service manager, the desk closes as
// File > Exit does without the question: its sACN stream ends with three
// terminated packets, the preferences are written and it exits normally.
TEST(OutputsEndToEnd, AStopSignalEndsTheSacnStreamAndKeepsThePreferences) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        TReceiver receiver(sacn::PORT);
        ASSERT_TRUE(receiver.Ok());
        DeskSession s;
        const StartedDesk d =
            StartDesk(s, {QStringLiteral("--sacn"), QStringLiteral("7@127.0.0.1")});
        ASSERT_FALSE(d.window.isEmpty()) << "the desk window did not appear";
        ASSERT_TRUE(receiver.WaitFor(
            [](const TDatagram& p) { return p.size() == sacn::DATA_PACKET_SIZE; }, 10s));
        const QString preferences = s.ProgramDir() + QStringLiteral("/Config.dat");
        QFile::remove(preferences);

        ASSERT_EQ(::kill(static_cast<pid_t>(s.DeskPid()), signalNumber), 0);
        int terminated = 0;
        while (const auto p = receiver.Next(5s)) {
            if (p->size() == sacn::DATA_PACKET_SIZE &&
                ((*p)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED))
                ++terminated;
        }
        EXPECT_EQ(terminated, 3) << "the stream must end with three terminated packets";
        EXPECT_EQ(s.WaitForDeskExit(20s), 0) << "the desk must close, not die";
        EXPECT_TRUE(QFile::exists(preferences)) << "the preferences were not kept";
    }
}

// A settings file the desk cannot use is said so in the window, and left as
// it is; the sACN source keeps the file's CID, so receivers see the same
// source as before.
TEST(OutputsEndToEnd, ARefusedSettingsFileIsShownAndItsCidKept) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    TReceiver receiver(sacn::PORT);
    ASSERT_TRUE(receiver.Ok());
    DeskSession s;
    ASSERT_TRUE(QDir().mkpath(s.ProgramDir()));
    const QString file = s.ProgramDir() + QStringLiteral("/DmxOutputs.ini");
    const QByteArray refused = "cid=0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0\n"
                               "sacn.enabled=1\n"
                               "ola.universe=99999999999\n";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(refused);
    }
    EXPECT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    EXPECT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartDesk({QStringLiteral("--sacn"), QStringLiteral("7@127.0.0.1")}))
        << s.Error().toStdString();
    const QString error = s.WaitForWindow(QStringLiteral("Error"), 20s);
    EXPECT_FALSE(error.isEmpty()) << "the refusal was not shown in the window";

    const auto packet = receiver.WaitFor(
        [](const TDatagram& p) { return p.size() == sacn::DATA_PACKET_SIZE; }, 10s);
    ASSERT_TRUE(packet);
    const std::array<std::uint8_t, 16> cid = {0x0f, 0x1e, 0x2d, 0x3c, 0x4b, 0x5a, 0x49, 0x78,
                                              0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2, 0xe1, 0xf0};
    EXPECT_TRUE(std::equal(cid.begin(), cid.end(), packet->begin() + sacn::OFF_CID))
        << "the source's identity changed";

    ASSERT_EQ(::kill(static_cast<pid_t>(s.DeskPid()), SIGTERM), 0);
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), refused) << "the refused file was written over";
}

// OK in "DMX Outputs" with nothing changed leaves the stream alone: no
// terminated packet, the sequence goes on, and the settings file is not
// written.
TEST(OutputsEndToEnd, OkWithNothingChangedKeepsTheSacnStream) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    TReceiver receiver(sacn::PORT);
    ASSERT_TRUE(receiver.Ok());
    DeskSession s;
    const StartedDesk d = StartDesk(s, {QStringLiteral("--sacn"), QStringLiteral("7@127.0.0.1")});
    ASSERT_FALSE(d.window.isEmpty()) << "the desk window did not appear";
    ASSERT_TRUE(receiver.WaitFor(
        [](const TDatagram& p) { return p.size() == sacn::DATA_PACKET_SIZE; }, 10s));
    const QString file = s.ProgramDir() + QStringLiteral("/DmxOutputs.ini");
    const QDateTime written = QFileInfo(file).lastModified();

    // Focus follows the pointer: into the menu bar, away from the faders.
    ASSERT_TRUE(s.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), d.window,
                           QStringLiteral("300"), QStringLiteral("8"), QStringLiteral("click"),
                           QStringLiteral("1")}));
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                           QStringLiteral("alt+p"), QStringLiteral("o")}));
    const QString dialog = s.WaitForWindow(QStringLiteral("DMX Outputs"), 10s);
    ASSERT_FALSE(dialog.isEmpty()) << "the outputs dialog did not open";
    // Only now: the packets before OK do not count.
    while (receiver.Next(50ms)) {
    }
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    ASSERT_TRUE(s.WaitForWindowGone(QStringLiteral("DMX Outputs"), 10s)) << "OK did not close it";

    std::optional<std::uint8_t> last;
    int packets = 0;
    const auto until = std::chrono::steady_clock::now() + 2500ms;
    while (std::chrono::steady_clock::now() < until) {
        const auto p = receiver.Next(200ms);
        if (!p || p->size() != sacn::DATA_PACKET_SIZE) continue;
        ++packets;
        EXPECT_EQ((*p)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED, 0)
            << "the stream was ended";
        const std::uint8_t sequence = (*p)[sacn::OFF_SEQUENCE];
        if (last) EXPECT_EQ(sequence, static_cast<std::uint8_t>(*last + 1)) << "a new stream";
        last = sequence;
    }
    EXPECT_GE(packets, 2) << "the stream stopped";
    EXPECT_EQ(QFileInfo(file).lastModified(), written) << "the settings file was written";

    ASSERT_EQ(::kill(static_cast<pid_t>(s.DeskPid()), SIGTERM), 0);
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}
