#include "output/SendSchedule.h"

#include <algorithm>

TSendSchedule::TSendSchedule(TDuration minInterval, TDuration keepAlive)
    : m_minInterval(minInterval), m_keepAlive(keepAlive) {}

void TSendSchedule::Offer(TTime) {
    m_pending = true;
}

bool TSendSchedule::Due(TTime now) const {
    if (!m_lastSend) return m_pending;
    if (m_pending) return now >= *m_lastSend + m_minInterval;
    return now >= *m_lastSend + m_keepAlive;
}

void TSendSchedule::Sent(TTime now) {
    m_pending = false;
    m_lastSend = now;
}

TSendSchedule::TTime TSendSchedule::NextWake() const {
    if (!m_lastSend) return TTime::max();
    return *m_lastSend + (m_pending ? m_minInterval : m_keepAlive);
}

TSendSchedule::TDuration TSendSchedule::IntervalForRate(int packetsPerSecond) {
    const int rate = std::clamp(packetsPerSecond, 1, 1000);
    return std::chrono::duration_cast<TDuration>(std::chrono::seconds(1)) / rate;
}
