#include "bank/BankInteractions.h"

#include <stdexcept>

#include "bank/BankWidgets.h"
#include "model/Captions.h"

namespace {

template <typename T>
T& Existing(T* widget, int slot) {
    if (widget == nullptr)
        throw std::runtime_error("Slot " + std::to_string(slot) + " has no widget");
    return *widget;
}

TFaders& FaderOfSlot(const TDeskState& state, int slot) {
    return Existing(state.FaderAt(slot), slot);
}

TFaderButtons& BumpOfSlot(const TDeskState& state, int slot) {
    return Existing(state.FaderButtonAt(slot), slot);
}

int SlotOnPage(const TDeskState& state, int channel) {
    return CheckSlot(CheckChannel(channel) - state.CurrentPage * FADERS_PER_PAGE);
}

// Puts a fader to a level from code; its value-change handler writes the level.
void SetFaderLevel(const TDeskState& state, int slot, int level) {
    TFaders& f = FaderOfSlot(state, slot);
    f.SetDigit(CheckLevel(level));
    f.Refresh();
}

} // namespace

void FaderValueChange(TDeskState& state, const TSendThenRecolour& send, int channel, int level,
                      bool faderFocused) {
    if (!state.Ready) return;
    const int c = CheckChannel(channel);
    state.Table.LevelOf(c) = static_cast<std::uint8_t>(CheckLevel(level));
    send();
    const int slot = SlotOnPage(state, c);
    if (!faderFocused) return;
    TFaderButtons& bump = BumpOfSlot(state, slot);
    if (!bump.Value()) return;
    // The bump's button has no focus, so its change handler ignores this.
    bump.SetValue(false);
    bump.SetColor(state.ColorOff);
    // The table follows the button: a later refresh must not latch it again.
    state.Table.BumpOf(c) = 0;
}

void FaderEnter(TDeskState& state, int channel) {
    state.CurrentFader = SlotOnPage(state, channel);
}

void FaderPress(TDeskState& state, int channel) {
    state.CurrentFader = SlotOnPage(state, channel);
}

void BumpMouseDown(TDeskState& state, const TSendThenRecolour& send, int channel, bool toggleMode) {
    if (!state.Ready || toggleMode) return;
    const int c = CheckChannel(channel);
    const int slot = SlotOnPage(state, c);
    TFaderButtons& bump = BumpOfSlot(state, slot);
    bump.setFocus(Qt::MouseFocusReason);
    state.SavedLevelOf(c) = state.Table.LevelOf(c);
    SetFaderLevel(state, slot, 255);
    bump.SetColor(state.ColorOn);
    send();
}

void BumpMouseUp(TDeskState& state, const TSendThenRecolour& send, int channel, bool toggleMode) {
    if (!state.Ready || toggleMode) return;
    const int c = CheckChannel(channel);
    const int slot = SlotOnPage(state, c);
    TFaderButtons& bump = BumpOfSlot(state, slot);
    SetFaderLevel(state, slot, state.SavedLevelOf(c));
    bump.SetColor(state.ColorOff);
    send();
    FaderOfSlot(state, slot).setFocus(Qt::MouseFocusReason);
    // In an inactive window the focus raises no enter event: name it here.
    state.CurrentFader = slot;
}

void BumpChange(TDeskState& state, const TSendThenRecolour& send, int channel, bool down,
                bool bumpFocused) {
    if (!state.Ready || !bumpFocused) return;
    const int c = CheckChannel(channel);
    const int slot = SlotOnPage(state, c);
    TFaderButtons& bump = BumpOfSlot(state, slot);
    if (down) {
        state.SavedLevelOf(c) = state.Table.LevelOf(c);
        SetFaderLevel(state, slot, 255);
        bump.SetColor(state.ColorOn);
        state.Table.BumpOf(c) = 1;
    } else {
        SetFaderLevel(state, slot, state.SavedLevelOf(c));
        bump.SetColor(state.ColorOff);
        state.Table.BumpOf(c) = 0;
    }
    send();
}

void ApplyPreset(TDeskState& state, int level) {
    SetFaderLevel(state, CheckSlot(state.CurrentFader), level);
}

int CurrentChannel(const TDeskState& state) {
    return CheckChannel(state.CurrentPage * FADERS_PER_PAGE + CheckSlot(state.CurrentFader));
}

void ShowFaderColor(TDeskState& state) {
    FaderOfSlot(state, state.CurrentFader)
        .SetColorNonFocus(state.Table.FaderColorOf(CurrentChannel(state)));
}

void ShowCaptions(TDeskState& state, int slot) {
    TFaders& f = FaderOfSlot(state, slot);
    const int c = state.ChannelOf(slot);
    f.SignalSettings()->SetName1(CaptionText(state.Table.Name1Of(c)));
    f.SignalSettings()->SetName2(CaptionText(state.Table.Name2Of(c)));
    f.Refresh();
}

void ClearCaption(TDeskState& state) {
    const int c = CurrentChannel(state);
    // Only the length bytes: the characters behind them are kept and saved.
    state.Table.Name1Of(c).Length = 0;
    state.Table.Name2Of(c).Length = 0;
    ShowCaptions(state, state.CurrentFader);
}
