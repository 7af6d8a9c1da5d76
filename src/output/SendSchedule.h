#pragma once
// When an output sends: at once when idle, at most `minInterval` apart while
// levels change (the newest levels win), and again after `keepAlive` when
// nothing changed. Pure logic on a clock the caller passes in.

#include <chrono>
#include <optional>

class TSendSchedule {
public:
    using TClock = std::chrono::steady_clock;
    using TTime = TClock::time_point;
    using TDuration = TClock::duration;

    TSendSchedule(TDuration minInterval, TDuration keepAlive);

    void Offer(TTime now);     // new levels are waiting
    bool Due(TTime now) const; // a packet should go now
    void Sent(TTime now);      // a packet went
    TTime NextWake() const;    // when Due may next become true by time alone
    bool Pending() const { return pending_; }

    static TDuration IntervalForRate(int packetsPerSecond);

private:
    TDuration minInterval_;
    TDuration keepAlive_;
    bool pending_ = false;
    std::optional<TTime> lastSend_;
};
