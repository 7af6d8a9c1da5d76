#include "surfaces/FeedbackGate.h"

#include <algorithm>

#include "surfaces/ValueScale.h"

void TFeedbackGate::Moved(TMillis now, int value) {
    movingUntil_ = now + hold_;
    shown_ = value;
}

void TFeedbackGate::Offer(int value, bool urgent) {
    pending_ = value;
    urgent_ = urgent_ || urgent;
}

std::optional<int> TFeedbackGate::Take(TMillis now) {
    if (!pending_) return std::nullopt;
    if (now < movingUntil_) return std::nullopt;
    if (!urgent_ && now < lastSentAt_ + interval_) return std::nullopt;
    const int value = *pending_;
    pending_.reset();
    urgent_ = false;
    if (Same(value, shown_)) return std::nullopt;
    shown_ = value;
    lastSentAt_ = now;
    return value;
}

std::optional<TMillis> TFeedbackGate::NextDue() const {
    if (!pending_) return std::nullopt;
    TMillis due = movingUntil_;
    if (!urgent_) due = std::max(due, lastSentAt_ + interval_);
    return due;
}

bool TFeedbackGate::Same(int a, int b) const {
    if (a == b) return true;
    if (max_ <= 0 || a < 0 || b < 0) return false;
    return LevelFromValue(a, max_) == LevelFromValue(b, max_);
}
