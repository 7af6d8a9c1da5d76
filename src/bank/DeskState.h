#pragma once
// The channel table and the run-time state of the main window that is never
// saved: the page shown, the visible widgets, the frame buffer and the gates.

#include <array>
#include <cstdint>

#include <QString>

#include "model/ChannelTable.h"

class TFaders;
class TFaderButtons;
class TPageButtons;

struct TDeskState {
    TChannelTable Table{};

    int CurrentPage = 0;  // 0..15
    int CurrentFader = 0; // 1..32 once a fader has had the focus

    // Slot-indexed from 1; index 0 is unused. References only: the panels own
    // the widgets.
    std::array<TFaders*, FADERS_PER_PAGE + 1> Faders{};
    std::array<TFaderButtons*, FADERS_PER_PAGE + 1> FaderButtons{};
    std::array<TPageButtons*, PAGE_COUNT + 1> PageButtons{};

    std::array<std::int32_t, DMX_UNIVERSE_SIZE + 1> SavedLevel{}; // channel-indexed from 1
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> DmxBuffer{};

    int GridColumns = 0;
    int GridRows = 0;
    bool Ready = false;
    bool ForwardKeys = false;
    QString LayoutFileName;

    TColor ColorOff = 0;
    TColor ColorOn = 0;
    TColor ColorOffLive = 0;
    TColor ColorOnLive = 0;

    // Range-checked access to the widget tables; raise std::out_of_range.
    TFaders* FaderAt(int slot) const { return Faders[static_cast<std::size_t>(CheckSlot(slot))]; }
    TFaderButtons* FaderButtonAt(int slot) const {
        return FaderButtons[static_cast<std::size_t>(CheckSlot(slot))];
    }
    TPageButtons* PageButtonAt(int page) const; // page 1..16
    std::int32_t& SavedLevelOf(int channel) {
        return SavedLevel[static_cast<std::size_t>(CheckChannel(channel))];
    }
    // Channel shown by a slot of the current page.
    int ChannelOf(int slot) const { return ChannelOfSlot(CurrentPage, slot); }
};
