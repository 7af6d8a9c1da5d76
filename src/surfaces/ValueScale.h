#pragma once
// A control's raw value and a DMX level, both ways. 0 and full scale map
// exactly and every mapping is monotonic; a 14-bit control gives back every
// level it was sent (level -> value -> the same level).

inline constexpr int MIDI_7BIT_MAX = 127;
inline constexpr int MIDI_14BIT_MAX = 16383;

// round(255 * value / max) for 0 <= value <= max; out-of-range values clamp
// to the ends (the decoders never hand in one).
int LevelFromValue(int value, int max);
// round(max * level / 255) for 0 <= level <= 255.
int ValueFromLevel(int level, int max);
