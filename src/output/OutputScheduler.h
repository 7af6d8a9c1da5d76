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
    std::chrono::milliseconds keepAlive{1000};
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
    std::string Name() const { return m_name; }
    long PacketsSent() const { return m_sent.load(); }
    TOutput& Output() { return *m_output; }

private:
    void Run();
    void Wake();

    std::unique_ptr<TOutput> m_output;
    std::string m_name;
    TSchedulerOptions m_options;
    std::thread m_thread;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_running{false};
    std::atomic<long> m_sent{0};

    std::mutex m_mailboxLock;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> m_mailbox{};
    bool m_fresh = false;
};
