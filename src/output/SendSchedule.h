#pragma once
// When an output sends: at once when idle, at most `minInterval` apart while
// levels change (the newest levels win), new levels `copies` times in all
// before the output falls quiet, and then again every `keepAlive` while
// nothing changes. Pure logic on a clock the caller passes in.

#include <chrono>
#include <optional>

class TSendSchedule {
public:
    using TClock = std::chrono::steady_clock;
    using TTime = TClock::time_point;
    using TDuration = TClock::duration;

    TSendSchedule(TDuration minInterval, TDuration keepAlive, int copies = 1);

    void Offer(TTime now);     // new levels are waiting
    bool Due(TTime now) const; // a packet should go now
    void Sent(TTime now);      // a packet went
    TTime NextWake() const;    // when Due may next become true by time alone
    bool Pending() const { return pending_; }

    static TDuration IntervalForRate(int packetsPerSecond);

private:
    // How long after the last packet the next one is due.
    TDuration Gap() const;

    TDuration minInterval_;
    TDuration keepAlive_;
    int copies_;
    bool pending_ = false;
    int copiesLeft_ = 0; // repeats of the newest levels still owed
    std::optional<TTime> lastSend_;
};
