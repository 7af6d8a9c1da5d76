#include "model/PageColors.h"

bool PageIsLive(const TChannelTable& table, int page) {
    const int first = ChannelOfSlot(CheckPage(page - 1), 1);
    for (int c = first; c < first + FADERS_PER_PAGE; ++c)
        if (table.LevelOf(c) > 0) return true;
    return false;
}

TColor PageColor(const TPagePalette& palette, bool shown, bool live) {
    if (shown) return live ? palette.OnLive : palette.On;
    return live ? palette.OffLive : palette.Off;
}

std::array<TColor, PAGE_COUNT + 1> PageColors(const TChannelTable& table, int currentPage,
                                              const TPagePalette& palette) {
    std::array<TColor, PAGE_COUNT + 1> colors{};
    CheckPage(currentPage);
    for (int p = 1; p <= PAGE_COUNT; ++p)
        colors[static_cast<std::size_t>(p)] =
            PageColor(palette, p == currentPage + 1, PageIsLive(table, p));
    return colors;
}
