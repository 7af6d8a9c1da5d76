#pragma once
// Where a transport's thread leaves what the controls did for the window's
// thread in the order it came, except that a fader's moves since the last
// button are coalesced to the newest value (a flood never queues up).
// Buttons are bounded; beyond the bound they are dropped and counted. The first input after the
// mailbox was emptied calls the wake-up, once, so the window's queue holds at most one call per
// mailbox.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "surfaces/SurfaceInput.h"

inline constexpr std::size_t MAX_QUEUED_BUTTONS = 1024;

class TInputMailbox {
public:
    using TWake = std::function<void()>;
    explicit TInputMailbox(TWake wake = {}) : wake_(std::move(wake)) {}
    void SetWake(TWake wake);

    // Any thread.
    void Post(const TSurfaceInput& input);
    // The window's thread: everything waiting, in order.
    std::vector<TSurfaceInput> TakeAll();
    int Dropped() const { return dropped_.load(); }
    long long Received() const { return received_.load(); }

private:
    std::mutex mutex_;
    TWake wake_;
    std::vector<TSurfaceInput> queue_;
    std::map<int, std::size_t> faderAt_; // fader index -> its entry since the last button
    std::size_t buttons_ = 0;
    bool woken_ = false;
    std::atomic<int> dropped_{0};
    std::atomic<long long> received_{0};
};
