#include "surfaces/ValueScale.h"

#include "core/DmxConstants.h"

namespace {

// round(a * b / c) for non-negative numbers, halves rounded up, in integers
// so that no value depends on floating-point rounding.
int RoundedRatio(int a, int b, int c) {
    return static_cast<int>((2LL * a * b + c) / (2LL * c));
}

} // namespace

int LevelFromValue(int value, int max) {
    if (max <= 0 || value <= 0) return 0;
    if (value >= max) return DMX_MAX_LEVEL;
    return RoundedRatio(value, DMX_MAX_LEVEL, max);
}

int ValueFromLevel(int level, int max) {
    if (max <= 0 || level <= 0) return 0;
    if (level >= DMX_MAX_LEVEL) return max;
    return RoundedRatio(level, max, DMX_MAX_LEVEL);
}
