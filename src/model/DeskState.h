#pragma once
// Everything a person's change can alter, as one value: the channel table and
// the levels the latched bumps return to. The undo history keeps these; the
// model captures and restores them.

#include <array>
#include <cstdint>
#include <cstring>

#include <QString>

#include "model/ChannelTable.h"

struct TDeskState {
    TChannelTable Table;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> SavedLevels{};

    // Equal in everything a person sees and the file keeps, the save mark aside.
    bool SameAs(const TDeskState& other) const {
        return std::memcmp(&Table.NewMark, &other.Table.NewMark,
                           sizeof Table - offsetof(TChannelTable, NewMark)) == 0 &&
               SavedLevels == other.SavedLevels;
    }
};

// One channel's level, as rules that write many channels at once take them.
struct TChannelLevel {
    int Channel = 0; // 1..512
    std::uint8_t Level = 0;
};

// What a person does as one: a named step, or the mark that a burst on one
// control (a drag, a held arrow key) has ended.
struct TStepMark {
    enum Kind { Begin, End, Settle };
    Kind What = Begin;
    QString Name; // Begin only
};
