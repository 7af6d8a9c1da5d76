#pragma once
// What one change to the desk touched. The model announces each change once
// with one of these; every follower (the host's frame, the network outputs,
// the views) reads what concerns it.

#include <cstdint>

#include <QMetaType>

#include "core/DmxConstants.h"

struct TDeskChange {
    enum Part : unsigned {
        // Levels were written and go out: the host gets one frame for each
        // such change, also when a level was written with the value it had.
        Levels = 1u << 0,
        Page = 1u << 1,           // the page shown
        Names = 1u << 2,          // name lines of channels
        Colors = 1u << 3,         // fader colours of channels
        FaderPositions = 1u << 4, // where the faders of slots stand
        Bumps = 1u << 5,          // a bump's latch or light, by slot
        Readiness = 1u << 6,      // the desk became ready or stopped being so
        // The slots show their channel of the page afresh: position, names,
        // colour and bump, drawn as one.
        SlotsShown = 1u << 7,
        // With Levels: no channel was written, the levels went out again as
        // they were (a page shown, a resend).
        LevelsKept = 1u << 8,
        // With Levels: written by a running fade, not by a person.
        Faded = 1u << 9,
        // The network outputs' blackout was switched.
        Blackout = 1u << 10,
    };

    unsigned What = 0;
    // Levels, Names, Colors: the channels written, first to last (1..512).
    int FirstChannel = 0;
    int LastChannel = 0;
    // FaderPositions, Bumps, SlotsShown: bit (slot - 1) for each slot touched.
    std::uint32_t Slots = 0;

    bool Has(unsigned what) const { return (What & what) != 0; }
    bool TouchesSlot(int slot) const {
        return slot >= 1 && slot <= FADERS_PER_PAGE && (Slots & SlotBit(slot)) != 0;
    }
    bool TouchesChannel(int channel) const {
        return channel >= FirstChannel && channel <= LastChannel;
    }
    static constexpr std::uint32_t SlotBit(int slot) { return 1u << (slot - 1); }
    static constexpr std::uint32_t AllSlots = 0xFFFFFFFFu;
};

Q_DECLARE_METATYPE(TDeskChange)
