// Round trip of SendDmxFrame's transmission to a live reference host (the
// real vantrelle-monitor process), the cost of a call with no host, of the
// per-frame look-up with its trust checks alone, and of a frame to a host
// known not to answer. Prints median and p99 over 10,000 frames.
//
// For scale, in the same run: a bare round trip of the same 536 bytes and
// 8-byte answer between two processes over a Unix stream socket, and the
// desk's hand-off to a host that does no more than that bare peer (so the
// difference is the desk's own cost: the look-up and its checks, the
// framing, the waits).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

bool ReadFully(int fd, std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteFully(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t put = ::write(fd, p, n);
        if (put <= 0) return false;
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

// The peer of the bare round trip and the minimal host: reads 536 bytes,
// answers 8, until the stream ends.
[[noreturn]] void Answer(int fd) {
    std::uint8_t message[hostlink::HEADER_SIZE + DMX_UNIVERSE_SIZE];
    const std::uint8_t reply[hostlink::REPLY_SIZE] = {};
    while (ReadFully(fd, message, sizeof message) && WriteFully(fd, reply, sizeof reply)) {
    }
    ::_exit(0);
}

// Two processes, one socket pair, 536 bytes there and 8 back.
Figures MeasureBare() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pair[0]);
        Answer(pair[1]);
    }
    ::close(pair[1]);
    std::uint8_t message[hostlink::HEADER_SIZE + DMX_UNIVERSE_SIZE] = {};
    std::uint8_t reply[hostlink::REPLY_SIZE];
    const Figures figures = Time([](int) {},
                                 [&] {
                                     if (!WriteFully(pair[0], message, sizeof message) ||
                                         !ReadFully(pair[0], reply, sizeof reply))
                                         std::abort();
                                 });
    ::close(pair[0]);
    ::waitpid(child, nullptr, 0);
    return figures;
}

// A host that answers every frame at once and does nothing else, listening
// at the endpoint.
pid_t StartMinimalHost(const std::string& socket) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket.c_str(), sizeof addr.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::fchmod(listener, 0600);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 4) != 0)
        std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int c = ::accept(listener, nullptr, nullptr);
        if (c < 0) ::_exit(1);
        Answer(c);
    }
    ::close(listener);
    return pid;
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

    const Figures bare = MeasureBare();
    std::printf("bare 536-byte round trip between two processes:"
                " median %7.2f us  p99 %7.2f us  mean %7.2f us\n",
                bare.median, bare.p99, bare.mean);
    {
        const pid_t minimal = StartMinimalHost(socket);
        hostlink::UnixEndpoint toMinimal;
        WaitForHost(toMinimal);
        const Figures handOff = Measure(toMinimal, *table, buffer, delivered);
        const Figures lookUp = MeasureFind(toMinimal);
        std::printf("minimal host: median %7.2f us  p99 %7.2f us  mean %7.2f us  (%d of %d "
                    "delivered); look-up alone median %7.2f us\n",
                    handOff.median, handOff.p99, handOff.mean, delivered, kFrames, lookUp.median);
        std::printf("ratio hand-off/bare (median): %.2f\n", handOff.median / bare.median);
        ::kill(minimal, SIGTERM);
        ::waitpid(minimal, nullptr, 0);
        std::filesystem::remove(socket);
    }

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
    std::printf("ratio reference host/bare (median): %.2f\n", live.median / bare.median);
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
