// Prints the control surfaces' figures (no pass or fail):
//  - a MIDI message as the MIDI thread receives it -> the levels announced,
//    the moment the frame is handed to the host link;
//  - an OSC datagram sent to 127.0.0.1 -> the levels announced;
//  - a page switch -> the last of 32 faders' feedback handed to the port;
//  - a flood of 10,000 OSC messages a second for 5 s: how late a 10 ms
//    timer on the window's thread runs, and the CPU the process used.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "model/DeskModel.h"
#include "surfaceio/OscSurface.h"
#include "surfaceio/SurfaceBinding.h"
#include "surfaces/MidiCodec.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Report(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%s: no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, static_cast<std::size_t>(q * samples.size()))];
    };
    std::printf("%s: n=%zu median %.0f us, p99 %.0f us, max %.0f us\n", what, samples.size(),
                at(0.5), at(0.99), samples.back());
}

// One OSC message with an int argument, as the wire has it.
std::vector<char> OscInt(const std::string& path, int value) {
    std::vector<char> m(path.begin(), path.end());
    m.push_back('\0');
    while (m.size() % 4 != 0)
        m.push_back('\0');
    for (char c : {',', 'i', '\0', '\0'})
        m.push_back(c);
    for (int shift = 24; shift >= 0; shift -= 8)
        m.push_back(static_cast<char>(value >> shift));
    return m;
}

// A surface whose transport is the bench itself.
class TBenchSurface : public TSurfaceBinding {
public:
    using TSurfaceBinding::TSurfaceBinding;
    TInputMailbox& Box() { return Mailbox(); }
    void Open() { Resync(); }
    std::atomic<int> sent{0};
    Clock::time_point lastSent;

protected:
    void Send(const TFeedback&) override {
        ++sent;
        lastSent = Clock::now();
    }
};

// Runs the event loop until `done` or the timeout.
void Spin(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void MidiToFrame(TDeskModel& model) {
    TBenchSurface surface(model, ShapeOf(GenericProfile()), {});
    TMidiCodec codec(GenericProfile());
    std::atomic<Clock::time_point> postedAt{};
    std::vector<double> samples;
    auto connection = QObject::connect(&model, &TDeskModel::changed, [&](const TDeskChange& c) {
        if (c.Has(TDeskChange::Levels) && c.TouchesChannel(1))
            samples.push_back(Micros(Clock::now() - postedAt.load()));
    });
    // Land the soft takeover first.
    const std::uint8_t land[] = {0xB0, 0, 0};
    surface.Box().Post(*codec.Decode(land, 3));
    Spin([] { return false; }, 50);
    for (int i = 1; i <= 1000; ++i) {
        std::thread midi([&, i] {
            const std::uint8_t m[] = {0xB0, 0, static_cast<std::uint8_t>(i % 2 ? 100 : 20)};
            postedAt = Clock::now();
            surface.Box().Post(*codec.Decode(m, 3));
        });
        midi.join();
        const std::size_t want = samples.size() + 1;
        Spin([&] { return samples.size() >= want; }, 1000);
    }
    QObject::disconnect(connection);
    Report("MIDI message (on the MIDI thread) -> levels announced", samples);
}

void OscToFrame(TDeskModel& model, int port) {
    TOscSurface surface(model, {});
    if (const std::string e = surface.Start("127.0.0.1", port, ""); !e.empty()) {
        std::printf("OSC: %s\n", e.c_str());
        return;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Clock::time_point sentAt;
    std::vector<double> samples;
    auto connection = QObject::connect(&model, &TDeskModel::changed, [&](const TDeskChange& c) {
        if (c.Has(TDeskChange::Levels) && c.TouchesChannel(2))
            samples.push_back(Micros(Clock::now() - sentAt));
    });
    for (int i = 1; i <= 1000; ++i) {
        const auto m = OscInt("/vantrelle/fader/2", i % 2 ? 200 : 10);
        sentAt = Clock::now();
        ::sendto(fd, m.data(), m.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        const std::size_t want = samples.size() + 1;
        Spin([&] { return samples.size() >= want; }, 1000);
    }
    ::close(fd);
    QObject::disconnect(connection);
    Report("OSC datagram -> levels announced", samples);
}

void PageToFeedback(TDeskModel& model) {
    TSurfaceShape shape = ShapeOf(GenericProfile());
    TBenchSurface surface(model, shape, {});
    surface.Open();
    auto connection =
        QObject::connect(&model, &TDeskModel::changed, &surface, &TSurfaceBinding::Follow);
    Spin([] { return false; }, 100);
    // Every page holds levels other than its neighbours', so all 32 faders change.
    for (int c = 1; c <= 512; ++c)
        model.SetChannelLevel(c, (c / 32) % 2 ? 200 : 30, {});
    Spin([] { return false; }, 100);
    std::vector<double> samples;
    for (int i = 0; i < 200; ++i) {
        const int before = surface.sent;
        const auto start = Clock::now();
        model.ShowPage(i % 2 ? 1 : 2, {});
        Spin([&] { return surface.sent >= before + 32; }, 1000);
        samples.push_back(Micros(surface.lastSent - start));
        Spin([] { return false; }, 30);
    }
    QObject::disconnect(connection);
    Report("page switch -> last of 32 faders' feedback out", samples);
}

void Flood(TDeskModel& model, int port) {
    TOscSurface surface(model, {});
    if (const std::string e = surface.Start("127.0.0.1", port, ""); !e.empty()) return;
    std::atomic<bool> done{false};
    std::thread sender([&] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const auto start = Clock::now();
        for (int n = 0; n < 50000; ++n) {
            const auto m = OscInt("/vantrelle/fader/5", n % 250);
            ::sendto(fd, m.data(), m.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
            if (n % 100 == 99)
                std::this_thread::sleep_until(start + std::chrono::microseconds(100 * (n + 1)));
        }
        const auto last = OscInt("/vantrelle/fader/5", 251);
        ::sendto(fd, last.data(), last.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        ::close(fd);
        done = true;
    });
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer wall;
    wall.start();
    double worst = 0;
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(10);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, Micros(Clock::now() - due));
        due = Clock::now() + std::chrono::milliseconds(10);
    });
    tick.start(10);
    // A real event loop, as the window runs one: it sleeps between events.
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done && model.Table().LevelOf(5) == 251) loop.quit();
    });
    check.start(50);
    QTimer::singleShot(12000, &loop, &QEventLoop::quit);
    loop.exec();
    tick.stop();
    sender.join();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double cpu = (after.ru_utime.tv_sec - before.ru_utime.tv_sec + after.ru_stime.tv_sec -
                        before.ru_stime.tv_sec) +
                       (after.ru_utime.tv_usec - before.ru_utime.tv_usec + after.ru_stime.tv_usec -
                        before.ru_stime.tv_usec) /
                           1e6;
    std::printf("flood 10,000 msg/s for 5 s: accepted %lld, last value applied %s, a 10 ms timer "
                "on the window's thread at most %.1f ms late, CPU %.0f%% of one core (sender "
                "included)\n",
                surface.Accepted(), model.Table().LevelOf(5) == 251 ? "yes" : "NO", worst / 1000,
                100.0 * cpu / (wall.elapsed() / 1000.0));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    TDeskModel model;
    model.SetReady(true);
    const int port = 19000 + getpid() % 1000;
    MidiToFrame(model);
    OscToFrame(model, port);
    PageToFeedback(model);
    Flood(model, port + 1);
    return 0;
}
