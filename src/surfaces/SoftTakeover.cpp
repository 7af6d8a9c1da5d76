#include "surfaces/SoftTakeover.h"

#include "surfaces/ValueScale.h"

bool TSoftTakeover::Move(int value, int max, int level, int low, int high) {
    const int target = ValueFromLevel(level, max);
    if (!holds_) {
        // Passing counts from the last place seen; the first move after the
        // surface came counts only when it lands on the level.
        const bool landed =
            value == target || (low >= 0 && high >= low && low <= target && target <= high);
        const bool crossed =
            last_ >= 0 && max == max_ &&
            ((last_ <= target && value >= target) || (last_ >= target && value <= target));
        holds_ = landed || crossed;
    }
    last_ = value;
    max_ = max;
    return holds_;
}

std::optional<int> TSoftTakeover::Marker() const {
    if (holds_ || last_ < 0) return std::nullopt;
    return LevelFromValue(last_, max_);
}
