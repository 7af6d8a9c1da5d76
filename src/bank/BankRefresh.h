#pragma once
// Ties the visible bank to the table: loads the current page into the
// faders and bump buttons, switches pages and recolours the page buttons.

#include <functional>

#include "bank/DeskState.h"

class QObject;
class QWidget;

// Hands the current levels to the host (and recolours the page buttons).
using TFrameSender = std::function<void()>;

// Loads page CurrentPage into the 32 slots, then sends one frame.
void RefreshFaders(TDeskState& state, const TFrameSender& send);
void UpdatePageColors(TDeskState& state);
// A page button was clicked: the focus leaves the bank for pageRow, then,
// once the desk is ready, the page shown becomes the sender's.
void PageButtonClick(TDeskState& state, const TFrameSender& send, QObject* sender,
                     QWidget* pageRow);
// The bump button's colour for its state.
TColor BumpColor(const TDeskState& state, bool down);
