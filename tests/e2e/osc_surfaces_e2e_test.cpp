// OSC over UDP on 127.0.0.1 with the real desk: oscsend moves it, oscdump
// reads the feedback, the reference host the frames; malformed messages are
// dropped, and a flood leaves the window answering with the last value.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "FreeUdpPort.h"
#include "OscInt.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

constexpr char kTitle[] = "Vantrelle 4.03";

class OscEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = FreeUdpPort();
        feedbackPort_ = FreeUdpPort();
        ASSERT_TRUE(s_.StartDisplay()) << s_.Error().toStdString();
        ASSERT_TRUE(s_.StartMonitor()) << s_.Error().toStdString();
        dump_.start(QStringLiteral("stdbuf"), {QStringLiteral("-oL"), QStringLiteral("oscdump"),
                                               QString::number(feedbackPort_)});
        ASSERT_TRUE(dump_.waitForStarted(5000));
        QDir().mkpath(s_.ProgramDir());
        QFile settings(s_.ProgramDir() + QStringLiteral("/Surfaces.dat"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("osc.feedback=127.0.0.1:%1\n").arg(feedbackPort_).toLatin1());
        settings.close();
        ASSERT_TRUE(s_.StartDesk({QStringLiteral("--osc"), QString::number(port_)}))
            << s_.Error().toStdString();
        window_ = s_.WaitForWindow(QLatin1String(kTitle), 20s);
        ASSERT_FALSE(window_.isEmpty());
        ASSERT_TRUE(s_.WaitForMessages(3, 20s));
    }
    void TearDown() override {
        dump_.kill();
        dump_.waitForFinished(2000);
    }

    bool Send(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral("oscsend"),
                QStringList{QStringLiteral("127.0.0.1"), QString::number(port_)} + args);
        return p.waitForFinished(5000) && p.exitCode() == 0;
    }
    // Waits until oscdump printed a line holding `text` after the first `after` bytes.
    bool Dumped(qsizetype after, const QString& text, std::chrono::milliseconds timeout = 5s) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeout.count()) {
            dump_.waitForReadyRead(50);
            dumped_ += dump_.readAllStandardOutput();
            if (QString::fromLatin1(dumped_.mid(after)).contains(text)) return true;
        }
        return false;
    }
    qsizetype DumpMark() {
        dumped_ += dump_.readAllStandardOutput();
        return dumped_.size();
    }
    bool FrameWith(std::size_t after, int channel, int level) {
        return WaitFor(s_, after,
                       [&](const QJsonObject& m) { return LevelOf(m, channel) == level; });
    }

    DeskSession s_;
    QProcess dump_;
    QByteArray dumped_;
    QString window_;
    int port_ = 0;
    int feedbackPort_ = 0;
};

} // namespace

TEST_F(OscEndToEnd, FadersChannelsPagesAndBumpsWithFeedback) {
    std::size_t before = s_.Messages().size();
    ASSERT_TRUE(Send({"/vantrelle/fader/1", "f", "1.0"}));
    EXPECT_TRUE(FrameWith(before, 1, 255));
    // Another client (the configured address) is told, on both addresses.
    qsizetype mark = DumpMark();
    before = s_.Messages().size();
    ASSERT_TRUE(Send({"/vantrelle/fader/2", "i", "77"}));
    EXPECT_TRUE(FrameWith(before, 2, 77));
    EXPECT_TRUE(Dumped(mark, QStringLiteral("/vantrelle/fader/2 f 0.301961")));
    EXPECT_TRUE(Dumped(mark, QStringLiteral("/vantrelle/channel/2 f 0.301961")));
    before = s_.Messages().size();
    ASSERT_TRUE(Send({"/vantrelle/channel/100", "i", "42"})); // not on the page shown
    EXPECT_TRUE(FrameWith(before, 100, 42));
    EXPECT_TRUE(Dumped(mark, QStringLiteral("/vantrelle/channel/100 f 0.164706")));

    // A page switch tells the page and the newly shown faders.
    mark = DumpMark();
    ASSERT_TRUE(Send({"/vantrelle/page", "i", "4"}));
    EXPECT_TRUE(Dumped(mark, QStringLiteral("/vantrelle/page i 4")));
    EXPECT_TRUE(
        Dumped(mark, QStringLiteral("/vantrelle/fader/4 f 0.164706"))); // channel 100: 42/255

    // A bump held from OSC.
    before = s_.Messages().size();
    ASSERT_TRUE(Send({"/vantrelle/bump/1", "i", "1"}));
    EXPECT_TRUE(FrameWith(before, 97, 255));
    ASSERT_TRUE(Send({"/vantrelle/bump/1", "i", "0"}));
    EXPECT_TRUE(FrameWith(before, 97, 0));

    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(OscEndToEnd, MalformedAndOutOfRangeMessagesAreDroppedNotClamped) {
    std::size_t before = s_.Messages().size();
    ASSERT_TRUE(Send({"/vantrelle/fader/1", "i", "10"}));
    ASSERT_TRUE(FrameWith(before, 1, 10));
    before = s_.Messages().size();
    for (const QStringList& bad : QList<QStringList>{
             {"/vantrelle/fader/1", "f", "1.5"},
             {"/vantrelle/fader/1", "i", "256"},
             {"/vantrelle/fader/1", "i", "-1"},
             {"/vantrelle/fader/1", "s", "full"},
             {"/vantrelle/fader/33", "i", "1"},
             {"/vantrelle/fader/0", "i", "1"},
             {"/vantrelle/channel/0", "i", "1"},
             {"/vantrelle/channel/513", "i", "1"},
             {"/vantrelle/page", "i", "0"},
             {"/vantrelle/page", "i", "17"},
             {"/vantrelle/page", "f", "2.0"},
             {"/vantrelle/bump/1", "i", "2"},
             {"/vantrelle/fader/1", "ii", "1", "2"},
         })
        ASSERT_TRUE(Send(bad)) << bad.join(' ').toStdString();
    // A datagram that is no OSC at all.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port_));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const char junk[] = "/vantrelle/fader/1\0\0,i";
    ::sendto(fd, junk, sizeof junk - 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    ::close(fd);

    ASSERT_TRUE(Send({"/vantrelle/fader/2", "i", "5"}));
    ASSERT_TRUE(FrameWith(before, 2, 5));
    for (std::size_t i = before; i < s_.Messages().size(); ++i) {
        const QJsonObject m = s_.Messages()[i];
        if (LevelOf(m, 1) < 0) continue;
        EXPECT_EQ(LevelOf(m, 1), 10) << "a refused message changed channel 1";
        EXPECT_EQ(LevelOf(m, 33), 0) << "a refused page switch was applied";
    }

    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(OscEndToEnd, EachMessageReachesTheHostAsAFrame) {
    // One datagram at a time, each waited for at the host; the times are
    // printed as a figure (the monitor's printing and this process's reading
    // included), never held against a limit.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port_));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<double> ms;
    for (int i = 0; i < 200; ++i) {
        const int level = i % 2 ? 200 : 20;
        const QByteArray m = OscInt("/vantrelle/fader/4", level);
        const std::size_t before = s_.Messages().size();
        QElapsedTimer timer;
        timer.start();
        ::sendto(fd, m.constData(), static_cast<size_t>(m.size()), 0,
                 reinterpret_cast<sockaddr*>(&to), sizeof to);
        ASSERT_TRUE(WaitFor(
            s_, before, [&](const QJsonObject& f) { return LevelOf(f, 4) == level; }, 10s));
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    ::close(fd);
    std::sort(ms.begin(), ms.end());
    std::printf("OSC datagram -> frame at the reference host: median %.2f ms, p99 %.2f ms\n",
                ms[ms.size() / 2], ms[ms.size() * 99 / 100]);
    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}

TEST_F(OscEndToEnd, AFloodLeavesTheWindowAnsweringAndTheLastValueApplied) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port_));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // 10,000 messages a second for two seconds, in bursts of 100 every 10 ms,
    // while a page button is clicked in the middle of it.
    QElapsedTimer timer;
    timer.start();
    int sent = 0;
    bool clicked = false;
    std::size_t beforeClick = 0;
    const int menu = MenuHeight(s_, window_);
    ASSERT_GT(menu, 0);
    while (sent < 20000) {
        for (int i = 0; i < 100; ++i, ++sent) {
            const QByteArray m = OscInt("/vantrelle/fader/3", sent % 200);
            ::sendto(fd, m.constData(), static_cast<size_t>(m.size()), 0,
                     reinterpret_cast<sockaddr*>(&to), sizeof to);
        }
        if (!clicked && sent >= 10000) {
            clicked = true;
            beforeClick = s_.Messages().size();
            ASSERT_TRUE(s_.Xdotool(At(window_, kColumn + kColumn / 2, menu + 20))); // page 2
            ASSERT_TRUE(s_.Xdotool({"click", "1"}));
        }
        const qint64 due = sent / 10; // ms
        if (timer.elapsed() < due)
            QThread::msleep(static_cast<unsigned long>(due - timer.elapsed()));
    }
    const QByteArray last = OscInt("/vantrelle/fader/3", 222);
    ::sendto(fd, last.constData(), static_cast<size_t>(last.size()), 0,
             reinterpret_cast<sockaddr*>(&to), sizeof to);
    ::close(fd);
    // The page switch went through during the flood, and the last value
    // landed on page 2's slot 3 (channel 35).
    EXPECT_TRUE(WaitFor(
        s_, beforeClick, [](const QJsonObject& m) { return LevelOf(m, 35) == 222; }, 20s));
    ASSERT_TRUE(s_.ExitWithoutSavingLayout(window_)) << s_.Error().toStdString();
    EXPECT_EQ(s_.WaitForDeskExit(10s), 0);
}
