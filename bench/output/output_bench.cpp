// Figures for the network outputs, all inside a network namespace of its own:
//  - latency from a level change (Post) to the packet handed to the kernel,
//    per protocol, median and p99, with changes spaced beyond the rate so
//    each one finds its output idle;
//  - packets per second reaching a receiver during a full-trench drag;
//  - CPU of three idle outputs (keep-alive only): 10 s, or 60 s with --full;
//  - the cost of Post on the caller's thread with three outputs (what the
//    window's frame step would pay besides the host link).
// Usage: output_bench [--full]

#include "Olad.h"
#include "PrivateNetwork.h"
#include "Receiver.h"
#include "output/ArtNetOutput.h"
#include "output/Cid.h"
#include "output/OutputScheduler.h"
#include "output/SacnGroups.h"
#include "output/SacnOutput.h"
#include "output/ola/OlaOutput.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;
using TLevels = std::array<std::uint8_t, DMX_UNIVERSE_SIZE>;

// Wraps an output and notes when each Send has returned.
class TTimedOutput : public TOutput {
public:
    explicit TTimedOutput(std::unique_ptr<TOutput> inner) : m_inner(std::move(inner)) {}
    bool Start() override { return m_inner->Start(); }
    void Stop() override { m_inner->Stop(); }
    bool Send(TLevelSpan levels) override {
        const bool ok = m_inner->Send(levels);
        m_lastSent.store(TClock::now().time_since_epoch().count());
        m_count.fetch_add(1);
        return ok;
    }
    void Service(TClock::time_point now) override { m_inner->Service(now); }
    int WaitFd() const override { return m_inner->WaitFd(); }
    TOutputState State() const override { return m_inner->State(); }
    std::string Name() const override { return m_inner->Name(); }
    long Count() const { return m_count.load(); }
    TClock::time_point LastSent() const {
        return TClock::time_point(TClock::duration(m_lastSent.load()));
    }

private:
    std::unique_ptr<TOutput> m_inner;
    std::atomic<TClock::rep> m_lastSent{0};
    std::atomic<long> m_count{0};
};

struct TFigures {
    double median = 0;
    double p99 = 0;
};

TFigures Summarise(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

std::unique_ptr<TOutput> MakeSacn() {
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = 1;
    return std::make_unique<TSacnOutput>(config);
}

std::unique_ptr<TOutput> MakeArtNet() {
    TArtNetConfig config;
    config.address = {0, 0, 1};
    config.destination = *ParseIpv4(LOCAL_ADDRESS);
    return std::make_unique<TArtNetOutput>(config);
}

std::unique_ptr<TOutput> MakeOla() {
    return std::make_unique<TOlaOutput>(TOlaConfig{1, 9010});
}

// Post → Send returned, each change after the output has gone idle.
TFigures Latency(std::unique_ptr<TOutput> output, int samples) {
    auto timed = std::make_unique<TTimedOutput>(std::move(output));
    TTimedOutput* probe = timed.get();
    TOutputScheduler scheduler(std::move(timed), {});
    scheduler.Start();
    std::vector<double> us;
    TLevels levels{};
    for (int i = 0; i < samples; ++i) {
        std::this_thread::sleep_for(30ms); // beyond the 44/s interval: the output is idle
        const long before = probe->Count();
        levels[0] = static_cast<std::uint8_t>(i);
        const auto start = TClock::now();
        scheduler.Post(TLevelSpan(levels));
        while (probe->Count() == before)
            std::this_thread::yield();
        us.push_back(std::chrono::duration<double, std::micro>(probe->LastSent() - start).count());
    }
    scheduler.Stop();
    return Summarise(us);
}

// Fader travel 0 → 255 → 0 twice over two seconds with a mouse event every millisecond.
double DragPacketsPerSecond(std::unique_ptr<TOutput> output, TReceiver& receiver) {
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    TLevels levels{};
    const auto start = TClock::now();
    std::atomic<bool> dragging{true};
    std::thread drag([&] {
        for (int step = 0; TClock::now() - start < 2s; ++step) {
            const int phase = step % 510;
            levels[0] = static_cast<std::uint8_t>(phase < 255 ? phase : 510 - phase);
            scheduler.Post(TLevelSpan(levels));
            std::this_thread::sleep_for(1ms);
        }
        dragging = false;
    });
    int packets = 0;
    for (;;) {
        const bool stillDragging = dragging.load();
        if (receiver.Next(stillDragging ? 50ms : 300ms)) {
            ++packets;
        } else if (!stillDragging) {
            break;
        }
    }
    drag.join();
    // The drag's own length; the last packet after it is the final position.
    const double seconds = 2.0;
    scheduler.Stop();
    return packets / seconds;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const bool full = argc > 1 && std::strcmp(argv[1], "--full") == 0;
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) {
        std::printf("output_bench: needs a private network namespace (%s)\n", network.why.c_str());
        return 0;
    }
    TOlad olad("dummy");
    bool haveOlad = olad.Start();
    if (haveOlad) {
        const auto device = olad.WaitForDevice();
        haveOlad = device && olad.PatchOutput(*device, 1);
    }
    const int samples = full ? 1000 : 200;

    std::printf("latency from level change to packet handed to the kernel (%d changes)\n", samples);
    for (auto& [name, make] : std::vector<std::pair<const char*, std::unique_ptr<TOutput> (*)()>>{
             {"sACN", MakeSacn}, {"Art-Net", MakeArtNet}, {"OLA", MakeOla}}) {
        if (std::strcmp(name, "OLA") == 0 && !haveOlad) {
            std::printf("  %-8s olad did not start; skipped\n", name);
            continue;
        }
        const TFigures f = Latency(make(), samples);
        std::printf("  %-8s median %7.1f us   p99 %7.1f us\n", name, f.median, f.p99);
    }

    {
        TReceiver receiver(sacn::PORT, {SacnMulticastGroup(1)});
        std::printf("packets per second during a full-trench drag (rate 44): sACN %.1f\n",
                    DragPacketsPerSecond(MakeSacn(), receiver));
    }

    {
        TOutputScheduler sacnOut(MakeSacn(), {});
        TOutputScheduler artOut(MakeArtNet(), {});
        TOutputScheduler olaOut(MakeOla(), {});
        std::vector<TOutputScheduler*> all = {&sacnOut, &artOut, &olaOut};
        for (auto* s : all)
            s->Start();
        TLevels levels{};
        levels[0] = 1;
        std::vector<double> postUs;
        for (int i = 0; i < 10000; ++i) {
            levels[1] = static_cast<std::uint8_t>(i);
            const auto start = TClock::now();
            for (auto* s : all)
                s->Post(TLevelSpan(levels));
            postUs.push_back(
                std::chrono::duration<double, std::micro>(TClock::now() - start).count());
        }
        const TFigures post = Summarise(postUs);
        std::printf("Post to three outputs on the caller's thread: median %.2f us   p99 %.2f us\n",
                    post.median, post.p99);
        std::this_thread::sleep_for(2s); // let the drag's packets drain before measuring idle
        const auto window = full ? 60s : 10s;
        const double cpu0 = CpuSeconds();
        const auto t0 = TClock::now();
        std::this_thread::sleep_for(window);
        const double cpu = CpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(TClock::now() - t0).count();
        long sent = 0;
        for (auto* s : all)
            sent += s->PacketsSent();
        std::printf("three idle outputs over %.0f s: CPU %.3f s (%.3f%% of one core), %ld packets "
                    "in all since start\n",
                    wall, cpu, 100.0 * cpu / wall, sent);
        for (auto* s : all)
            s->Stop();
    }
    return 0;
}
