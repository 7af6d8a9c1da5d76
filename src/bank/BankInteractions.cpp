#include "bank/BankInteractions.h"

#include <stdexcept>

#include "bank/BankWidgets.h"
#include "bank/Captions.h"

namespace {

template <typename T>
T& SenderAs(QObject* sender) {
    auto* widget = dynamic_cast<T*>(sender);
    if (widget == nullptr) throw std::invalid_argument("Unexpected sender");
    return *widget;
}

template <typename T>
T& Existing(T* widget, int slot) {
    if (widget == nullptr)
        throw std::runtime_error("Slot " + std::to_string(slot) + " has no widget");
    return *widget;
}

TFaders& FaderOfSlot(const TDeskState& state, int slot) {
    return Existing(state.FaderAt(slot), slot);
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

void FaderValueChange(TDeskState& state, const TFrameSender& send, QObject* sender) {
    if (!state.Ready) return;
    TFaders& fader = SenderAs<TFaders>(sender);
    const int c = CheckChannel(fader.Tag());
    state.Table.LevelOf(c) = static_cast<std::uint8_t>(CheckLevel(fader.Digit()));
    send();
    const int slot = SlotOnPage(state, c);
    if (!FaderOfSlot(state, slot).hasFocus()) return;
    TFaderButtons& bump = Existing(state.FaderButtonAt(slot), slot);
    if (!bump.Value()) return;
    // The bump's button has no focus, so its change handler ignores this.
    bump.SetValue(false);
    bump.SetColor(state.ColorOff);
    // The table follows the button: a later refresh must not latch it again.
    state.Table.BumpOf(c) = 0;
}

void FaderEnter(TDeskState& state, QObject* sender) {
    state.CurrentFader = SlotOnPage(state, SenderAs<TFaders>(sender).Tag());
}

void BumpMouseDown(TDeskState& state, const TFrameSender& send, QObject* sender, bool toggleMode) {
    if (!state.Ready || toggleMode) return;
    TFaderButtons& bump = SenderAs<TFaderButtons>(sender);
    bump.setFocus(Qt::MouseFocusReason);
    const int c = CheckChannel(bump.Tag());
    state.SavedLevelOf(c) = state.Table.LevelOf(c);
    SetFaderLevel(state, SlotOnPage(state, c), 255);
    bump.SetColor(state.ColorOn);
    send();
}

void BumpMouseUp(TDeskState& state, const TFrameSender& send, QObject* sender, bool toggleMode) {
    if (!state.Ready || toggleMode) return;
    TFaderButtons& bump = SenderAs<TFaderButtons>(sender);
    const int c = CheckChannel(bump.Tag());
    const int slot = SlotOnPage(state, c);
    SetFaderLevel(state, slot, state.SavedLevelOf(c));
    bump.SetColor(state.ColorOff);
    send();
    FaderOfSlot(state, slot).setFocus(Qt::MouseFocusReason);
}

void BumpChange(TDeskState& state, const TFrameSender& send, QObject* sender) {
    if (!state.Ready) return;
    TFaderButtons& bump = SenderAs<TFaderButtons>(sender);
    if (!bump.hasFocus()) return;
    const int c = CheckChannel(bump.Tag());
    const int slot = SlotOnPage(state, c);
    if (bump.Value()) {
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
