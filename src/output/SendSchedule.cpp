#include "output/SendSchedule.h"

#include <algorithm>

TSendSchedule::TSendSchedule(TDuration minInterval, TDuration keepAlive, int copies)
    : minInterval_(minInterval), keepAlive_(keepAlive), copies_(std::max(copies, 1)) {}

void TSendSchedule::Offer(TTime) {
    pending_ = true;
}

TSendSchedule::TDuration TSendSchedule::Gap() const {
    // The copies of new levels follow at the rate, but never later than a
    // keep-alive would, whatever rate the user chose.
    if (pending_ || copiesLeft_ > 0) return std::min(minInterval_, keepAlive_);
    return keepAlive_;
}

bool TSendSchedule::Due(TTime now) const {
    if (!lastSend_) return pending_;
    return now >= *lastSend_ + Gap();
}

void TSendSchedule::Sent(TTime now) {
    if (pending_)
        copiesLeft_ = copies_ - 1;
    else if (copiesLeft_ > 0)
        --copiesLeft_;
    pending_ = false;
    lastSend_ = now;
}

TSendSchedule::TTime TSendSchedule::NextWake() const {
    if (!lastSend_) return TTime::max();
    return *lastSend_ + Gap();
}

TSendSchedule::TDuration TSendSchedule::IntervalForRate(int packetsPerSecond) {
    const int rate = std::clamp(packetsPerSecond, 1, 1000);
    return std::chrono::duration_cast<TDuration>(std::chrono::seconds(1)) / rate;
}
