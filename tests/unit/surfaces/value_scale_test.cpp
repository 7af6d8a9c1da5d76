// Raw control values and DMX levels, over every value and every level.

#include <cmath>

#include <gtest/gtest.h>

#include "surfaces/ValueScale.h"

TEST(ValueScale, SevenBitGivesRoundedLevelsMonotonicWithExactEnds) {
    int previous = -1;
    for (int v = 0; v <= MIDI_7BIT_MAX; ++v) {
        const int level = LevelFromValue(v, MIDI_7BIT_MAX);
        EXPECT_EQ(level, static_cast<int>(std::lround(255.0 * v / 127.0))) << v;
        EXPECT_GT(level, previous) << v;
        previous = level;
    }
    EXPECT_EQ(LevelFromValue(0, MIDI_7BIT_MAX), 0);
    EXPECT_EQ(LevelFromValue(127, MIDI_7BIT_MAX), 255);
}

TEST(ValueScale, SevenBitValueComesBackFromItsLevel) {
    // A surface that sent v is sent v back: no echo differs from the hand.
    for (int v = 0; v <= MIDI_7BIT_MAX; ++v)
        EXPECT_EQ(ValueFromLevel(LevelFromValue(v, MIDI_7BIT_MAX), MIDI_7BIT_MAX), v) << v;
}

TEST(ValueScale, FourteenBitMonotonicWithExactEnds) {
    int previous = 0;
    for (int v = 0; v <= MIDI_14BIT_MAX; ++v) {
        const int level = LevelFromValue(v, MIDI_14BIT_MAX);
        EXPECT_GE(level, previous) << v;
        EXPECT_EQ(level, static_cast<int>(std::lround(255.0 * v / 16383.0))) << v;
        previous = level;
    }
    EXPECT_EQ(LevelFromValue(0, MIDI_14BIT_MAX), 0);
    EXPECT_EQ(LevelFromValue(MIDI_14BIT_MAX, MIDI_14BIT_MAX), 255);
}

TEST(ValueScale, EveryLevelRoundTripsThroughBothResolutions) {
    int previous7 = -1, previous14 = -1;
    for (int level = 0; level <= 255; ++level) {
        const int v14 = ValueFromLevel(level, MIDI_14BIT_MAX);
        EXPECT_EQ(LevelFromValue(v14, MIDI_14BIT_MAX), level) << level;
        EXPECT_GT(v14, previous14);
        previous14 = v14;
        const int v7 = ValueFromLevel(level, MIDI_7BIT_MAX);
        EXPECT_GE(v7, previous7);
        previous7 = v7;
        EXPECT_LE(std::abs(LevelFromValue(v7, MIDI_7BIT_MAX) - level), 1) << level;
    }
    EXPECT_EQ(ValueFromLevel(0, MIDI_7BIT_MAX), 0);
    EXPECT_EQ(ValueFromLevel(255, MIDI_7BIT_MAX), 127);
    EXPECT_EQ(ValueFromLevel(255, MIDI_14BIT_MAX), 16383);
}

TEST(ValueScale, OutOfRangeInputStaysInRange) {
    EXPECT_EQ(LevelFromValue(-5, 127), 0);
    EXPECT_EQ(LevelFromValue(500, 127), 255);
    EXPECT_EQ(ValueFromLevel(-1, 127), 0);
    EXPECT_EQ(ValueFromLevel(300, 16383), 16383);
    EXPECT_EQ(LevelFromValue(3, 0), 0);
}
