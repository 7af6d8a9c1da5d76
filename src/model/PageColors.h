#pragma once
// Which colour each page button shows: a page is live when one of its 32
// levels is above zero; the shown page is lighter than the others.

#include <array>

#include "model/ChannelTable.h"

struct TPagePalette {
    TColor Off;     // not shown, not live
    TColor On;      // shown, not live
    TColor OffLive; // not shown, live
    TColor OnLive;  // shown, live
};

// page 1..16; bump states play no part.
bool PageIsLive(const TChannelTable& table, int page);
TColor PageColor(const TPagePalette& palette, bool shown, bool live);
// Colours of pages 1..16 (index 0 unused) with currentPage 0..15 shown.
std::array<TColor, PAGE_COUNT + 1> PageColors(const TChannelTable& table, int currentPage,
                                              const TPagePalette& palette);
