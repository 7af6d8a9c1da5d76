#pragma once
// Ties the visible bank to the table: loads the current page into the
// faders and bump buttons, switches pages and recolours the page buttons.

#include <functional>

#include "bank/DeskState.h"

// The step that follows every level change: sends the frame to the host, then
// recolours the page buttons.
using TSendThenRecolour = std::function<void()>;

// Loads page CurrentPage into the 32 slots, then sends one frame.
void RefreshFaders(TDeskState& state, const TSendThenRecolour& send);
void UpdatePageColors(TDeskState& state);
// The page button of page (1..16) was clicked: once the desk is ready, the
// page shown becomes that page. A bad page raises before anything changes.
void PageButtonClick(TDeskState& state, const TSendThenRecolour& send, int page);
// The bump button's colour for its state.
TColor BumpColor(const TDeskState& state, bool down);
