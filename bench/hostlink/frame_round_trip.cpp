// Round trip of SendDmxFrame's transmission to a live reference host (the
// real vantrelle-monitor process), and the cost of a call with no host.
// Prints median and p99 over 10,000 frames.

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

#include "bank/ChannelTable.h"
#include "hostlink/DmxFrame.h"
#include "hostlink/UnixEndpoint.h"

#ifndef VANTRELLE_BIN_DIR
#error "VANTRELLE_BIN_DIR must name the folder of the built programs"
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 10000;

struct Figures {
    double median;
    double p99;
    double mean;
};

Figures Measure(hostlink::Endpoint& endpoint, TChannelTable& table,
                std::array<std::uint8_t, DMX_UNIVERSE_SIZE>& buffer, int& delivered) {
    std::vector<double> us;
    us.reserve(kFrames);
    delivered = 0;
    for (int i = 0; i < kFrames; ++i) {
        table.LevelOf(1 + i % 512) = static_cast<std::uint8_t>(i);
        const auto start = Clock::now();
        delivered += hostlink::TransmitDmxFrame(endpoint, table.Level, buffer) ? 1 : 0;
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    double sum = 0;
    for (double v : us)
        sum += v;
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100], sum / static_cast<double>(us.size())};
}

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

} // namespace

int main() {
    char pattern[] = "/tmp/vantrelle-bench-XXXXXX";
    const std::string runtime = ::mkdtemp(pattern);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer{};
    hostlink::UnixEndpoint endpoint;
    int delivered = 0;

    const Figures none = Measure(endpoint, *table, buffer, delivered);
    std::printf("no host:   median %7.2f us  p99 %7.2f us  mean %7.2f us  (%d of %d delivered)\n",
                none.median, none.p99, none.mean, delivered, kFrames);

    const pid_t monitor = StartMonitor();
    const std::string socket = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
    for (int i = 0; i < 500 && !std::filesystem::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Figures live = Measure(endpoint, *table, buffer, delivered);
    std::printf("live host: median %7.2f us  p99 %7.2f us  mean %7.2f us  (%d of %d delivered)\n",
                live.median, live.p99, live.mean, delivered, kFrames);
    std::printf("ratio live/none (median): %.1f\n", live.median / none.median);

    ::kill(monitor, SIGTERM);
    ::waitpid(monitor, nullptr, 0);
    std::filesystem::remove_all(runtime);
    return delivered == kFrames ? 0 : 1;
}
