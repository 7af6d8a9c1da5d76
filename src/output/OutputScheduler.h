#pragma once
// Feeds one output from its own thread. The window only copies the levels
// into a one-slot mailbox (the newest levels replace any not yet sent) and
// wakes the thread; everything that can wait or block happens here.

#include "output/Output.h"
#include "output/SendSchedule.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

struct TSchedulerOptions {
    int packetsPerSecond = 44;
    // Unchanged levels go again this often: inside the 800-1000 ms that sACN
    // receivers expect, with room for a late wake on a busy machine.
    std::chrono::milliseconds keepAlive{900};
};

class TOutputScheduler {
public:
    TOutputScheduler(std::unique_ptr<TOutput> output, TSchedulerOptions options);
    ~TOutputScheduler();
    TOutputScheduler(const TOutputScheduler&) = delete;
    TOutputScheduler& operator=(const TOutputScheduler&) = delete;

    void Start();
    // Sends the protocol's goodbye and joins the thread.
    void Stop();
    // Cheap and non-blocking apart from a short lock: safe on the GUI thread.
    void Post(TLevelSpan levels);

    TOutputState State() const;
    std::string Name() const { return name_; }
    long PacketsSent() const { return sent_.load(); }
    TOutput& Output() { return *output_; }

private:
    void Run();
    void Wake();

    std::unique_ptr<TOutput> output_;
    std::string name_;
    TSchedulerOptions options_;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    std::atomic<long> sent_{0};

    std::mutex mailboxLock_;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> mailbox_{};
    bool fresh_ = false;
};
