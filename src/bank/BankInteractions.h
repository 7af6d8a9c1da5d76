#pragma once
// What happens when the user works the bank: a fader moved or focused, a
// bump pressed (momentary or toggle), a preset, a colour or a caption from
// the fader's popup menu. Every slot and channel taken from a tag or from
// CurrentFader is range-checked; a bad one raises std::out_of_range.

#include "bank/BankRefresh.h"

// The rules take plain values read from the sender by the window's handlers;
// the widgets they touch are the slot's own in the state's tables, and a slot
// without one raises std::runtime_error.

// The fader of channel now shows level: the level follows and is sent.
// Taking hold of a fader (faderFocused) whose bump is latched releases it.
void FaderValueChange(TDeskState& state, const TSendThenRecolour& send, int channel, int level,
                      bool faderFocused);
// The fader of channel got the focus: it becomes CurrentFader.
void FaderEnter(TDeskState& state, int channel);
// Any mouse button went down on the fader of channel: it becomes CurrentFader
// at once, also in an inactive window, where the focus it takes raises no
// enter event.
void FaderPress(TDeskState& state, int channel);

// Momentary bump of channel: acts only while the bumps are not toggles.
void BumpMouseDown(TDeskState& state, const TSendThenRecolour& send, int channel, bool toggleMode);
void BumpMouseUp(TDeskState& state, const TSendThenRecolour& send, int channel, bool toggleMode);
// Toggle bump of channel is now down or up; only a focused button acts.
void BumpChange(TDeskState& state, const TSendThenRecolour& send, int channel, bool down,
                bool bumpFocused);

// Popup commands on the fader in CurrentFader.
void ApplyPreset(TDeskState& state, int level);
// Channel of the fader in CurrentFader on the page shown.
int CurrentChannel(const TDeskState& state);
void ShowFaderColor(TDeskState& state);
void ClearCaption(TDeskState& state);
// Shows the stored captions of the channel on the fader of slot.
void ShowCaptions(TDeskState& state, int slot);
