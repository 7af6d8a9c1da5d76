// The desk's hand-off of a frame (TransmitDmxFrame, answered) to the
// reference host, and through the wine bridge to a Windows mock host under
// wine, in one run: median and p99 of each, and their ratio. Beside them,
// wine's own cost of the WM_COPYDATA alone, sent by a Windows program to the
// same mock host: the floor under the bridge's figure. The three take turns,
// in rounds, so that a machine growing busier or quieter meanwhile weighs on
// all of them alike. Makes its own private display, wine prefix and runtime
// folder.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "hostlink/DmxFrame.h"
#include "hostlink/UnixEndpoint.h"
#include "model/ChannelTable.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;
constexpr int kFrames = 1000; // in each round, for each way

using Samples = std::vector<double>; // microseconds

// Frames handed to whichever host answers at the endpoint; false when one
// was not answered.
bool Measure(hostlink::Endpoint& endpoint, TChannelTable& table,
             std::array<std::uint8_t, DMX_UNIVERSE_SIZE>& buffer, Samples& us) {
    int delivered = 0;
    for (int i = 0; i < kFrames; ++i) {
        table.LevelOf(1 + i % 512) = static_cast<std::uint8_t>(i);
        const auto start = Clock::now();
        delivered += hostlink::TransmitDmxFrame(endpoint, table.Level, buffer) ? 1 : 0;
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return delivered == kFrames;
}

struct Figures {
    double Median;
    double P99;
};

Figures Summarise(Samples us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100]};
}

// The median of the last round's samples.
double LastRound(const Samples& us) {
    return Summarise(Samples(us.end() - kFrames, us.end())).Median;
}

// Starts a program with its standard output to /dev/null; its pid.
pid_t Start(const std::vector<std::string>& argv) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

int Run(const std::vector<std::string>& argv) {
    const pid_t pid = Start(argv);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

// Wine's WM_COPYDATA from one Windows program to the mock host's window.
bool MeasureWineAlone(Samples& us) {
    const std::string command = std::string("wine ") + VANTRELLE_COPYDATA_ROUND_TRIP + " --count " +
                                std::to_string(kFrames) + " --each";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    double median = 0;
    double p99 = 0;
    int handled = 0;
    bool ok = std::fscanf(pipe, "copydata %lf %lf %d", &median, &p99, &handled) == 3 &&
              handled == kFrames;
    Samples taken;
    for (int i = 0; ok && i < kFrames; ++i) {
        double sample = 0;
        ok = std::fscanf(pipe, "%lf", &sample) == 1;
        taken.push_back(sample);
    }
    ok = ::pclose(pipe) == 0 && ok;
    if (ok) us.insert(us.end(), taken.begin(), taken.end());
    return ok;
}

// Until a host answers at the endpoint.
bool WaitForHost(hostlink::Endpoint& endpoint, int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
        if (endpoint.Find(hostlink::HOST_CLASS_NAME)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Xvfb on a free display, whose name goes into DISPLAY; its pid.
pid_t StartDisplay() {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                 "640x480x24", nullptr);
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    return pid;
}

} // namespace

int main() {
    char pattern[] = "/tmp/vantrelle-wine-bench-XXXXXX";
    const std::string top = ::mkdtemp(pattern);
    const std::string runtime = top + "/runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("WINEPREFIX", (top + "/prefix").c_str(), 1);
    ::setenv("WINEARCH", "win64", 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);

    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer{};
    hostlink::UnixEndpoint endpoint;

    const pid_t display = StartDisplay();
    const auto booted = Clock::now();
    // The prefix is complete once its wineserver has written the registry.
    if (Run({VANTRELLE_WINEBOOT, "-i"}) != 0 || Run({VANTRELLE_WINESERVER, "-w"}) != 0) {
        Stop(display);
        return 1;
    }
    std::printf("wineboot: %.1f s\n", std::chrono::duration<double>(Clock::now() - booted).count());
    const pid_t mock = Start({"wine", VANTRELLE_MOCK_HOST, "--log", top + "/mock-host.log"});
    // Once its window is there, wine alone can send to it.
    Samples warmUp;
    for (int i = 0; i < 300 && !MeasureWineAlone(warmUp); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    // The reference host and the bridge take turns at the desk's socket.
    Samples direct;
    Samples bridged;
    Samples alone;
    bool ok = !warmUp.empty();
    for (int round = 1; ok && round <= kRounds; ++round) {
        const pid_t monitor = Start({VANTRELLE_BIN_DIR "/vantrelle-monitor", "--json"});
        ok = WaitForHost(endpoint, 10) && Measure(endpoint, *table, buffer, direct);
        Stop(monitor);
        const pid_t bridge = Start({VANTRELLE_WINE_BRIDGE});
        ok = ok && WaitForHost(endpoint, 30) && Measure(endpoint, *table, buffer, bridged);
        Stop(bridge);
        ok = ok && MeasureWineAlone(alone);
        if (ok)
            std::printf(
                "round %d, medians: direct %6.1f us  bridge %6.1f us  wine alone %6.1f us\n", round,
                LastRound(direct), LastRound(bridged), LastRound(alone));
    }
    if (ok) {
        const Figures d = Summarise(direct);
        const Figures b = Summarise(bridged);
        const Figures w = Summarise(alone);
        std::printf("%d frames each:\n", kRounds * kFrames);
        std::printf("direct to the reference host: median %8.2f us  p99 %8.2f us\n", d.Median,
                    d.P99);
        std::printf("through the wine bridge:      median %8.2f us  p99 %8.2f us\n", b.Median,
                    b.P99);
        std::printf("wine alone, WM_COPYDATA:      median %8.2f us  p99 %8.2f us\n", w.Median,
                    w.P99);
        std::printf("ratio bridge/direct:     median %.2f  p99 %.2f\n", b.Median / d.Median,
                    b.P99 / d.P99);
        std::printf("ratio wine alone/direct: median %.2f  p99 %.2f\n", w.Median / d.Median,
                    w.P99 / d.P99);
        std::printf("ratio bridge/wine alone: median %.2f  p99 %.2f\n", b.Median / w.Median,
                    b.P99 / w.P99);
    } else {
        std::fprintf(stderr, "a host did not answer every frame, or wine alone failed\n");
    }

    Run({VANTRELLE_WINESERVER, "-k"});
    ::waitpid(mock, nullptr, 0);
    Stop(display);
    std::filesystem::remove_all(top);
    return ok ? 0 : 1;
}
