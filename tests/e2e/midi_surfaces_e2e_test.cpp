// A MIDI control surface over JACK with the real desk: a test client plays
// the surface, jack_midi_dump reads the feedback, the reference host the
// frames.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "JackMidi.h"

using namespace std::chrono_literals;
using namespace deskframes;
using jackmidi::Bytes;

namespace {

constexpr char kTitle[] = "Vantrelle 4.03";

class MidiSurfaceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(jack_.Start()) << jack_.Error().toStdString();
        ASSERT_TRUE(peer_.Start());
        ASSERT_TRUE(s_.StartDisplay()) << s_.Error().toStdString();
        ASSERT_TRUE(s_.StartMonitor()) << s_.Error().toStdString();
    }

    // The desk with --midi and the profile in the user's folder (none: the generic map).
    void StartDesk(const QString& profileText = {}) {
        QStringList args{QStringLiteral("--midi"), peer_.Name()};
        if (!profileText.isEmpty()) {
            QDir().mkpath(s_.ProgramDir() + QStringLiteral("/surfaces"));
            QFile profile(s_.ProgramDir() + QStringLiteral("/surfaces/test.profile"));
            ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
            profile.write(profileText.toUtf8());
            profile.close();
            QFile settings(s_.ProgramDir() + QStringLiteral("/Surfaces.dat"));
            ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
            settings.write("midi.profile=test.profile\n");
        }
        // The program folder is made by StartDesk; the files go in before the desk reads them.
        QDir().mkpath(s_.ProgramDir());
        ASSERT_TRUE(s_.StartDesk(args)) << s_.Error().toStdString();
        window_ = s_.WaitForWindow(QLatin1String(kTitle), 20s);
        ASSERT_FALSE(window_.isEmpty());
        ASSERT_TRUE(s_.WaitForMessages(3, 20s));
        // The desk opened its ports and connected them to the surface.
        ASSERT_TRUE(jack_.WaitForConnection(peer_.Name() + QStringLiteral(":out"),
                                            QStringLiteral("Vantrelle"), 15s));
        ASSERT_TRUE(jack_.WaitForConnection(QStringLiteral("Vantrelle"),
                                            peer_.Name() + QStringLiteral(":in"), 15s));
        ASSERT_TRUE(dump_.Start());
        ASSERT_TRUE(jack_.WaitForPort(dump_.InputPort(), 10s));
        ASSERT_TRUE(ConnectDump());
    }

    // The desk's output port to jack_midi_dump.
    bool ConnectDump() {
        for (const QString& port : jack_.Ports())
            if (port.startsWith(QStringLiteral("Vantrelle")) &&
                port.endsWith(QStringLiteral(":out")))
                return peer_.Connect(port, dump_.InputPort()) &&
                       jack_.WaitForConnection(port, dump_.InputPort(), 5s);
        return false;
    }

    // A JACK client that runs late on a busy machine loses that cycle's
    // events: the surface's messages are sent again until the frame comes.
    bool SendUntilFrame(const QString& hex, int channel, int level) {
        const std::size_t after = s_.Messages().size();
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (!peer_.Send(hex)) return false;
            if (WaitFor(
                    s_, after, [&](const QJsonObject& m) { return LevelOf(m, channel) == level; },
                    3s))
                return true;
        }
        return false;
    }

    bool FrameWith(std::size_t after, int channel, int level) {
        return WaitFor(s_, after,
                       [&](const QJsonObject& m) { return LevelOf(m, channel) == level; });
    }

    jackmidi::Server jack_;
    jackmidi::Peer peer_;
    jackmidi::Dump dump_;
    DeskSession s_;
    QString window_;
};

} // namespace

TEST_F(MidiSurfaceEndToEnd, ControlChangesReachTheHostAndPagesSendTheNewlyShownLevels) {
    StartDesk();
    // The generic map: fader 1 is CC 0 of channel 1. Without motors the
    // fader first meets its channel's level (0), then takes it.
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 00 00 B0 00 7F"), 1, 255));
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 05 00 B0 05 40"), 6, 129)); // round(255*64/127)

    // Page 2 from the surface (note 33), fader 1 there is channel 33.
    std::size_t dumped = dump_.Messages().size();
    ASSERT_TRUE(peer_.Send(QStringLiteral("90 21 7F 80 21 00")));
    // Every fader of page 2 shows 0: fader 1 and 6 are told at once.
    EXPECT_TRUE(dump_.WaitFor(dumped, Bytes{0xB0, 0x00, 0x00}, 5s));
    EXPECT_TRUE(dump_.WaitFor(dumped, Bytes{0xB0, 0x05, 0x00}, 5s));
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 00 00 B0 00 64"), 33, 201));

    // Back to page 1 from the desk (its page button): the surface is sent
    // page 1's levels at once.
    dumped = dump_.Messages().size();
    const int menu = MenuHeight(s_, window_);
    ASSERT_GT(menu, 0);
    ASSERT_TRUE(s_.Xdotool(At(window_, kColumn / 2, menu + 20)));
    ASSERT_TRUE(s_.Xdotool({"click", "1"}));
    EXPECT_TRUE(dump_.WaitFor(dumped, Bytes{0xB0, 0x00, 0x7F}, 5s));
    EXPECT_TRUE(dump_.WaitFor(dumped, Bytes{0xB0, 0x05, 0x40}, 5s));

    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(MidiSurfaceEndToEnd, AMovingMotorFaderGetsNoEchoWhileOthersFollow) {
    StartDesk(QStringLiteral("faders 8\nmotorised yes\n"
                             "fader 1 pitchbend 1\nfader 2 pitchbend 2\n"
                             "bank-left note 1 46\nbank-right note 1 47\n"));
    const std::size_t dumped = dump_.Messages().size();
    std::size_t before = s_.Messages().size();
    // A hand moves fader 1 through several values (14-bit pitch bend).
    for (int msb : {0x10, 0x20, 0x30, 0x40})
        ASSERT_TRUE(peer_.Send(QStringLiteral("E0 00 %1").arg(msb, 2, 16, QLatin1Char('0'))));
    EXPECT_TRUE(FrameWith(before, 1, 128)); // 0x40 << 7 = 8192 of 16383
    QThread::msleep(800);                   // past the hold
    const auto all = dump_.Messages();
    for (std::size_t i = dumped; i < all.size(); ++i)
        EXPECT_NE(all[i][0], 0xE0) << "fader 1 was sent its own movement back";

    // Action > All Faders To 100%: both motor faders are sent full scale.
    const std::size_t later = dump_.Messages().size();
    ASSERT_TRUE(s_.Xdotool(At(window_, 300, 300)));
    ASSERT_TRUE(s_.Xdotool({"click", "1"}));
    ASSERT_TRUE(s_.Xdotool({"key", "--delay", "60", "alt+a", "Down", "Down", "Down", "Return"}));
    EXPECT_TRUE(dump_.WaitFor(later, Bytes{0xE0, 0x7F, 0x7F}, 5s));
    EXPECT_TRUE(dump_.WaitFor(later, Bytes{0xE1, 0x7F, 0x7F}, 5s));

    // Bank right: fader 1 shows slot 9.
    before = s_.Messages().size();
    ASSERT_TRUE(peer_.Send(QStringLiteral("90 2F 7F")));
    QThread::msleep(300);
    ASSERT_TRUE(peer_.Send(QStringLiteral("E0 00 00")));
    EXPECT_TRUE(FrameWith(before, 9, 0));

    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(MidiSurfaceEndToEnd, ASurfaceUnpluggedAndBackIsOpenedAgain) {
    StartDesk();
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 02 00 B0 02 7F"), 3, 255));

    peer_.Stop(); // unplugged
    QThread::msleep(2500);
    ASSERT_TRUE(peer_.Start()); // plugged in again under the same name
    ASSERT_TRUE(jack_.WaitForConnection(peer_.Name() + QStringLiteral(":out"),
                                        QStringLiteral("Vantrelle"), 15s));
    // The surface that came back is sent the levels as they are.
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 02 7F B0 02 00"), 3, 0));

    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

namespace {

// The desk window's picture, as the X server has it.
QImage Screenshot(DeskSession& s, const QString& window) {
    QProcess import;
    import.setProcessEnvironment(s.Environment());
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), window, QStringLiteral("png:-")});
    if (!import.waitForFinished(10000)) return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

// Whether two pictures differ inside fader `slot`'s column.
bool ColumnDiffers(const QImage& a, const QImage& b, int slot) {
    if (a.size() != b.size() || a.isNull()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = (slot - 1) * kColumn; x < slot * kColumn && x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return true;
    return false;
}

} // namespace

TEST_F(MidiSurfaceEndToEnd, SoftTakeoverWaitsUntilTheLevelIsPassedAndShowsTheMarker) {
    StartDesk();
    // Action > All Faders To 50%: channel 1 stands at 128 (CC value 64).
    std::size_t before = s_.Messages().size();
    ASSERT_TRUE(s_.Xdotool(At(window_, 300, 300)));
    ASSERT_TRUE(s_.Xdotool({"click", "1"}));
    ASSERT_TRUE(s_.Xdotool({"key", "--delay", "60", "alt+a", "Down", "Down", "Return"}));
    ASSERT_TRUE(FrameWith(before, 1, 128));
    QThread::msleep(300);
    const QImage plain = Screenshot(s_, window_);
    ASSERT_FALSE(plain.isNull());

    // The physical fader at 10, below the level: no jump, a marker instead.
    before = s_.Messages().size();
    ASSERT_TRUE(peer_.Send(QStringLiteral("B0 00 0A")));
    QThread::msleep(600);
    EXPECT_EQ(s_.Messages().size(), before) << "the channel jumped to the physical fader";
    EXPECT_TRUE(ColumnDiffers(plain, Screenshot(s_, window_), 1)) << "no marker drawn";
    ASSERT_TRUE(peer_.Send(QStringLiteral("B0 00 30")));
    QThread::msleep(300);
    EXPECT_EQ(s_.Messages().size(), before);

    // Passing 64 takes the channel: it follows from there.
    ASSERT_TRUE(peer_.Send(QStringLiteral("B0 00 50")));
    EXPECT_TRUE(FrameWith(before, 1, 161)); // round(255 * 80 / 127)
    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(MidiSurfaceEndToEnd, LearnControlMapsTheNextMovedControlAndSavesIt) {
    StartDesk();
    const int menu = MenuHeight(s_, window_);
    ASSERT_GT(menu, 0);
    // Right-click fader 3, "Learn Control" (the popup's last item).
    ASSERT_TRUE(s_.Xdotool(At(window_, 2 * kColumn + kColumn / 2, menu + kPageRow + 105)));
    ASSERT_TRUE(s_.Xdotool({"click", "3"}));
    QThread::msleep(400);
    ASSERT_TRUE(s_.Xdotool({"key", "--delay", "100", "Up", "Return"}));
    QThread::msleep(300);
    ASSERT_TRUE(peer_.Send(QStringLiteral("B0 46 05"))); // CC 70 moved
    const QString saved = s_.ProgramDir() + QStringLiteral("/surfaces/generic.profile");
    QDeadlineTimer deadline(10s);
    while (!QFile::exists(saved) && !deadline.hasExpired())
        QThread::msleep(100);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the learned map was not saved";
    EXPECT_TRUE(file.readAll().contains("fader 3 cc 1 70"));

    // The surface opens again with the learned map: CC 70 moves channel 3.
    QThread::msleep(500);
    ASSERT_TRUE(jack_.WaitForConnection(peer_.Name() + QStringLiteral(":out"),
                                        QStringLiteral("Vantrelle"), 15s));
    EXPECT_TRUE(SendUntilFrame(QStringLiteral("B0 46 00 B0 46 7F"), 3, 255));
    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST(MidiSurfaceWithoutSequencer, TheAlsaApiMissingLeavesTheDeskWorking) {
    // No ALSA sequencer on this machine: the desk says so (in the status
    // corner) and works on.
    if (QFile::exists(QStringLiteral("/dev/snd/seq"))) GTEST_SKIP() << "an ALSA sequencer is here";
    DeskSession s;
    ASSERT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartDesk({QStringLiteral("--midi"), QStringLiteral("anything"),
                             QStringLiteral("--midi-api"), QStringLiteral("alsa")}))
        << s.Error().toStdString();
    const QString window = s.WaitForWindow(QLatin1String(kTitle), 20s);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(s.WaitForMessages(3, 20s));
    QThread::msleep(1500); // the port has tried and failed by now
    // Action > All Faders To 100% still reaches the host.
    const std::size_t before = s.Messages().size();
    ASSERT_TRUE(s.Xdotool(At(window, 300, 300)));
    ASSERT_TRUE(s.Xdotool({"click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "60", "alt+a", "Down", "Down", "Down", "Return"}));
    EXPECT_TRUE(WaitFor(s, before, [](const QJsonObject& m) { return AllLevelsAre(m, 255); }));
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}
