#pragma once
// What happens when the user works the bank: a fader moved or focused, a
// bump pressed (momentary or toggle), a preset, a colour or a caption from
// the fader's popup menu. Every slot and channel taken from a tag or from
// CurrentFader is range-checked; a bad one raises std::out_of_range.

#include "bank/BankRefresh.h"

class QObject;

// The fader's digit changed: the level follows and is sent. Taking hold of
// a fader whose bump is latched releases the bump.
void FaderValueChange(TDeskState& state, const TFrameSender& send, QObject* sender);
void FaderEnter(TDeskState& state, QObject* sender);

// Momentary bump: acts only while the bumps are not toggles.
void BumpMouseDown(TDeskState& state, const TFrameSender& send, QObject* sender, bool toggleMode);
void BumpMouseUp(TDeskState& state, const TFrameSender& send, QObject* sender, bool toggleMode);
// Toggle bump: the button's Value changed; only the focused button acts.
void BumpChange(TDeskState& state, const TFrameSender& send, QObject* sender);

// Popup commands on the fader in CurrentFader.
void ApplyPreset(TDeskState& state, int level);
// Channel of the fader in CurrentFader on the page shown.
int CurrentChannel(const TDeskState& state);
void ShowFaderColor(TDeskState& state);
void ClearCaption(TDeskState& state);
// Shows the stored captions of the channel on the fader of slot.
void ShowCaptions(TDeskState& state, int slot);
