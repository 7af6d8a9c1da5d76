#include "bank/DeskState.h"

TPageButtons* TDeskState::PageButtonAt(int page) const {
    if (page < 1 || page > PAGE_COUNT)
        throw std::out_of_range("Page " + std::to_string(page) + " is out of range");
    return PageButtons[static_cast<std::size_t>(page)];
}
