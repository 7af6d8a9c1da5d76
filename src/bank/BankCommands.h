#pragma once
// Commands over the whole bank: bulk levels, releasing the latched bumps,
// and applying the preferences to the widgets.

#include "bank/BankRefresh.h"

// Every channel to level (0, 128 or 255); the faders of the page follow.
void AllFadersTo(TDeskState& state, const TSendThenRecolour& send, int level);
// The channels of the page shown to level; the other pages stay.
void PageFadersTo(TDeskState& state, const TSendThenRecolour& send, int level);
// Releases every bumped channel to 0 and every bump button of the page.
void ReleaseAllToggledBumps(TDeskState& state, const TSendThenRecolour& send);

// Faders show 0..255 without a unit, or 0..100 %. No level changes.
void ApplyDisplayMode(TDeskState& state, bool digits);
void ApplyBumpType(TDeskState& state, bool toggle);
void ApplyGradientLook(TDeskState& state, bool gradient);
void SetFadersKeyboard(TDeskState& state, bool enabled);
// Levels and bump states of all channels to 0; captions and colours stay.
void ClearLevelsAndBumps(TChannelTable& table);
