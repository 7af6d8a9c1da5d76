#include "output/SendSchedule.h"

#include <algorithm>

TSendSchedule::TSendSchedule(TDuration minInterval, TDuration keepAlive)
    : minInterval_(minInterval), keepAlive_(keepAlive) {}

void TSendSchedule::Offer(TTime) {
    pending_ = true;
}

bool TSendSchedule::Due(TTime now) const {
    if (!lastSend_) return pending_;
    if (pending_) return now >= *lastSend_ + minInterval_;
    return now >= *lastSend_ + keepAlive_;
}

void TSendSchedule::Sent(TTime now) {
    pending_ = false;
    lastSend_ = now;
}

TSendSchedule::TTime TSendSchedule::NextWake() const {
    if (!lastSend_) return TTime::max();
    return *lastSend_ + (pending_ ? minInterval_ : keepAlive_);
}

TSendSchedule::TDuration TSendSchedule::IntervalForRate(int packetsPerSecond) {
    const int rate = std::clamp(packetsPerSecond, 1, 1000);
    return std::chrono::duration_cast<TDuration>(std::chrono::seconds(1)) / rate;
}
