// Round trip of SendDmxFrame's transmission to a live reference host (the
// real vantrelle-monitor process), the cost of a call with no host, of the
// per-frame look-up with its trust checks alone, and of a frame to a host
// known not to answer. Prints median and p99 over 10,000 frames.

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

// Times kFrames rounds of `step`, each after an untimed `prepare(round)`.
template <typename Prepare, typename Step>
Figures Time(Prepare prepare, Step step) {
    std::vector<double> us;
    us.reserve(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        prepare(i);
        const auto start = Clock::now();
        step();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    double sum = 0;
    for (double v : us)
        sum += v;
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100], sum / static_cast<double>(us.size())};
}

Figures Measure(hostlink::Endpoint& endpoint, TChannelTable& table,
                std::array<std::uint8_t, DMX_UNIVERSE_SIZE>& buffer, int& delivered) {
    delivered = 0;
    return Time(
        [&](int i) { table.LevelOf(1 + i % 512) = static_cast<std::uint8_t>(i); },
        [&] { delivered += hostlink::TransmitDmxFrame(endpoint, table.Level, buffer) ? 1 : 0; });
}

pid_t StartMonitor(const char* extra = nullptr) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execl(VANTRELLE_BIN_DIR "/vantrelle-monitor", "vantrelle-monitor", "--json", extra,
                nullptr);
        ::_exit(127);
    }
    return pid;
}

// Until the host listens (its file appears at bind, before listen).
void WaitForHost(hostlink::Endpoint& endpoint) {
    for (int i = 0; i < 500 && !endpoint.Find(hostlink::HOST_CLASS_NAME); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void StopMonitor(pid_t monitor, const std::string& socket) {
    ::kill(monitor, SIGTERM);
    ::waitpid(monitor, nullptr, 0);
    std::filesystem::remove(socket);
}

// The look-up every frame starts with (folder, socket and connection checks).
Figures MeasureFind(hostlink::Endpoint& endpoint) {
    return Time([](int) {}, [&] { endpoint.Find(hostlink::HOST_CLASS_NAME); });
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

    const std::string socket = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
    const pid_t monitor = StartMonitor();
    WaitForHost(endpoint);
    const Figures live = Measure(endpoint, *table, buffer, delivered);
    std::printf("live host: median %7.2f us  p99 %7.2f us  mean %7.2f us  (%d of %d delivered)\n",
                live.median, live.p99, live.mean, delivered, kFrames);
    const int liveDelivered = delivered;
    const Figures find = MeasureFind(endpoint);
    std::printf("look-up:   median %7.2f us  p99 %7.2f us  mean %7.2f us  (live host)\n",
                find.median, find.p99, find.mean);
    std::printf("ratio live/none (median): %.1f\n", live.median / none.median);
    StopMonitor(monitor, socket);

    // A host that never answers: the first frame waits its 250 ms, the rest
    // are kept for it without waiting.
    const pid_t hung = StartMonitor("--no-reply");
    WaitForHost(endpoint);
    const auto first = Clock::now();
    hostlink::TransmitDmxFrame(endpoint, table->Level, buffer);
    const double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - first).count();
    const Figures known = Measure(endpoint, *table, buffer, delivered);
    std::printf("hung host: first frame %.1f ms, then median %7.2f us  p99 %7.2f us  mean %7.2f us"
                "  (%d of %d delivered)\n",
                firstMs, known.median, known.p99, known.mean, delivered, kFrames);
    StopMonitor(hung, socket);
    delivered = liveDelivered;
    std::filesystem::remove_all(runtime);
    return delivered == kFrames ? 0 : 1;
}
