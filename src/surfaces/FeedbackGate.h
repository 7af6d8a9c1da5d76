#pragma once
// What one control is sent back: the newest value wins, at most one message
// per interval, and nothing while the operator moves it (a motor fader must
// not fight the hand). When the hand lets go, the control is sent the value
// only if it means another level than where the hand left it (a 14-bit
// fader left between two levels is not nudged). Times are milliseconds
// on any steady clock.

#include <cstdint>
#include <limits>
#include <optional>

using TMillis = std::int64_t;

class TFeedbackGate {
public:
    // `max`: the full scale of the control's values, whose levels are
    // compared; 0 compares the values themselves.
    TFeedbackGate(int intervalMs = 20, int holdMs = 300, int max = 0)
        : interval_(intervalMs), hold_(holdMs), max_(max) {}

    // The operator moved the control to `value`: it shows that now.
    void Moved(TMillis now, int value);
    // The value the control should show; `urgent` (a page switch) skips the
    // interval, never the hold.
    void Offer(int value, bool urgent = false);
    // The value to send at `now`, if one is due.
    std::optional<int> Take(TMillis now);
    // When Take may next give a value; nullopt when nothing waits.
    std::optional<TMillis> NextDue() const;
    // Forget what the control shows (a surface that came back).
    void Forget() { shown_ = -1; }
    bool Moving(TMillis now) const { return now < movingUntil_; }

private:
    static constexpr TMillis kNever = std::numeric_limits<TMillis>::min() / 2;
    bool Same(int a, int b) const;
    int interval_;
    int hold_;
    int max_;
    TMillis movingUntil_ = kNever;
    TMillis lastSentAt_ = kNever;
    int shown_ = -1;
    std::optional<int> pending_;
    bool urgent_ = false;
};
