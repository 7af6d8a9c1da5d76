#pragma once
// Ten stored looks of the desk. A snapshot holds the 512 levels, optionally
// the name lines and colours of every channel, and the time its recall
// fades over.

#include <array>
#include <cstdint>

#include <QString>

#include "model/DeskModel.h"

inline constexpr int SNAPSHOT_SLOTS = 10;
inline constexpr int MAX_SNAPSHOT_FADE_MS = 60'000;

struct TSnapshot {
    bool Stored = false;
    bool WithNames = false; // name lines and colours too
    int FadeMs = 0;         // 0..MAX_SNAPSHOT_FADE_MS
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> Levels{};
    std::array<TShortString12, DMX_UNIVERSE_SIZE> Name1{};
    std::array<TShortString12, DMX_UNIVERSE_SIZE> Name2{};
    std::array<TColor, DMX_UNIVERSE_SIZE> Colors{};

    bool operator==(const TSnapshot& other) const;
};

struct TSnapshotSet {
    std::array<TSnapshot, SNAPSHOT_SLOTS> Slots{};

    // Slot 1..10; a number outside raises std::out_of_range.
    TSnapshot& At(int slot);
    const TSnapshot& At(int slot) const;
};

int CheckSnapshotSlot(int slot);

// The desk's look now, as a snapshot.
TSnapshot SnapshotOf(const TChannelTable& table, bool withNames, int fadeMs);

// The step's name a recall of slot is undone by ("Recall Snapshot 3").
QString RecallStepName(int slot);
