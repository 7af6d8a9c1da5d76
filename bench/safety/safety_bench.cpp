// The safety nets against a live reference host (the real vantrelle-monitor):
// from Ctrl+Z, as the window receives it, to the host's answer to the
// restored frame after "All Faders To 100%", over 200 rounds; and a 2 s fade
// of all 512 channels: frames per second the host acknowledged and the
// desk's CPU time during the fade, as a share of one core.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"
#include "safety/FadePlayer.h"
#include "safety/SnapshotStore.h"
#include "safety/UndoHistory.h"

namespace {

using Clock = std::chrono::steady_clock;

pid_t StartMonitor() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execl(VANTRELLE_BIN_DIR "/vantrelle-monitor", "vantrelle-monitor", "--json", nullptr);
        ::_exit(127);
    }
    return pid;
}

double CpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const pid_t monitor = StartMonitor();
    QApplication app(argc, argv);
    RequireQueuedAnswers(true);
    QTemporaryDir preferences;
    TMainWindow form;
    form.PreferenceStore->SetProgramDirectory(preferences.path());
    form.show();
    while (!form.Model().Ready())
        Spin(10);
    // Until the host answers: its socket appears a moment after it starts.
    for (int i = 0; i < 200 && !QFile::exists(runtime.path() + "/THXMainForm"); ++i)
        Spin(10);
    Spin(200);

    // Frames the host answered, with when.
    std::vector<Clock::time_point> frames;
    QObject::connect(&form.Model(), &TDeskModel::changed, [&](const TDeskChange& c) {
        if (c.Has(TDeskChange::Levels)) frames.push_back(Clock::now());
    });

    std::vector<double> undoUs;
    for (int round = 0; round < 200; ++round) {
        form.AllTo100Item->trigger();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Z, Qt::ControlModifier);
        frames.clear();
        const auto start = Clock::now();
        QCoreApplication::sendEvent(form.windowHandle(), &press);
        if (frames.size() != 1 || form.Model().Table().LevelOf(1) != 0) {
            std::fprintf(stderr, "round %d: undo sent %zu frames\n", round, frames.size());
            return 1;
        }
        undoUs.push_back(std::chrono::duration<double, std::micro>(frames.back() - start).count());
        QCoreApplication::sendEvent(form.windowHandle(), &release);
    }
    std::sort(undoUs.begin(), undoUs.end());
    std::printf("undo of All Faders To 100%%, Ctrl+Z to the host's answer: median %.0f us, p99 "
                "%.0f us, max %.0f us (200 rounds)\n",
                undoUs[undoUs.size() / 2], undoUs[undoUs.size() * 99 / 100], undoUs.back());

    // A look of every channel at a different level, faded in from zero.
    TChannelTable look = form.Model().Table();
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c)
        look.LevelOf(c) = static_cast<std::uint8_t>(1 + (c * 37) % 255);
    const TSnapshot snapshot = SnapshotOf(look, false, 2000);
    form.AllTo0Item->trigger();
    Spin(300);
    const double idleCpu0 = CpuSeconds();
    QElapsedTimer idle;
    idle.start();
    Spin(2000);
    const double idleShare = (CpuSeconds() - idleCpu0) / (idle.nsecsElapsed() / 1e9);

    frames.clear();
    QEventLoop done;
    QObject::connect(&form.FadePlayer(), &TFadePlayer::finished, &done, &QEventLoop::quit);
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RecallSnapshot(form.Model(), form.FadePlayer(), snapshot, 1);
    done.exec();
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    const double span = std::chrono::duration<double>(frames.back() - frames.front()).count();
    const bool exact = std::equal(std::begin(look.Level), std::end(look.Level),
                                  std::begin(form.Model().Table().Level));
    std::printf("2 s fade of 512 channels: %zu frames answered by the host in %.3f s, %.1f "
                "frames/s; last frame exact: %s\n",
                frames.size(), span, (frames.size() - 1) / span, exact ? "yes" : "NO");
    std::printf("desk CPU during the fade: %.1f%% of one core (idle desk: %.1f%%; ratio %.1f)\n",
                100.0 * cpu / seconds, 100.0 * idleShare,
                idleShare > 0 ? (cpu / seconds) / idleShare : 0.0);

    ::kill(monitor, SIGTERM);
    ::waitpid(monitor, nullptr, 0);
    QueueMessageBoxAnswer(QMessageBox::No);
    return exact ? 0 : 1;
}
