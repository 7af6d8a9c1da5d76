#include "model/ChannelTable.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void OutOfRange(const char* what, int value) {
    throw std::out_of_range(std::string(what) + " " + std::to_string(value) + " is out of range");
}

std::size_t Index(int channel) {
    return static_cast<std::size_t>(CheckChannel(channel) - 1);
}

} // namespace

std::string TShortString12::Text() const {
    const std::size_t n = std::min<std::size_t>(Length, CAPTION_CAPACITY);
    return std::string(Chars, n);
}

void TShortString12::Assign(const std::string& text) {
    const std::size_t n = std::min<std::size_t>(text.size(), CAPTION_CAPACITY);
    std::memcpy(Chars, text.data(), n);
    Length = static_cast<std::uint8_t>(n);
}

std::uint8_t& TChannelTable::LevelOf(int channel) {
    return Level[Index(channel)];
}
std::uint8_t TChannelTable::LevelOf(int channel) const {
    return Level[Index(channel)];
}
std::uint8_t& TChannelTable::BumpOf(int channel) {
    return Bump[Index(channel)];
}
std::uint8_t TChannelTable::BumpOf(int channel) const {
    return Bump[Index(channel)];
}
TShortString12& TChannelTable::Name1Of(int channel) {
    return Name1[Index(channel)];
}
const TShortString12& TChannelTable::Name1Of(int channel) const {
    return Name1[Index(channel)];
}
TShortString12& TChannelTable::Name2Of(int channel) {
    return Name2[Index(channel)];
}
const TShortString12& TChannelTable::Name2Of(int channel) const {
    return Name2[Index(channel)];
}
TColor& TChannelTable::FaderColorOf(int channel) {
    return FaderColor[Index(channel)];
}
TColor TChannelTable::FaderColorOf(int channel) const {
    return FaderColor[Index(channel)];
}

void ClearChannels(TChannelTable& table) {
    table.NewMark = 1;
    std::memset(table.Level, 0, sizeof table.Level);
    std::memset(table.Bump, 0, sizeof table.Bump);
    std::memset(table.ReservedBytes, 0, sizeof table.ReservedBytes);
    std::memset(table.ReservedInts, 0, sizeof table.ReservedInts);
    for (int i = 0; i < DMX_UNIVERSE_SIZE; ++i) {
        table.Name1[i].Length = 0;
        table.Name2[i].Length = 0;
        table.ReservedNames[i].Length = 0;
        table.FaderColor[i] = clGray;
        table.ReservedColor1[i] = clSilver;
        table.ReservedColor2[i] = clSilver;
        table.ReservedColor3[i] = clGray;
        table.ReservedColor4[i] = clNavy;
    }
}

int CheckChannel(int channel) {
    if (channel < 1 || channel > DMX_UNIVERSE_SIZE) OutOfRange("Channel", channel);
    return channel;
}

int CheckSlot(int slot) {
    if (slot < 1 || slot > FADERS_PER_PAGE) OutOfRange("Fader slot", slot);
    return slot;
}

int CheckPage(int currentPage) {
    if (currentPage < 0 || currentPage >= PAGE_COUNT) OutOfRange("Page", currentPage + 1);
    return currentPage;
}

int CheckLevel(int level) {
    if (level < 0 || level > 255) OutOfRange("Level", level);
    return level;
}

int ChannelOfSlot(int currentPage, int slot) {
    return CheckPage(currentPage) * FADERS_PER_PAGE + CheckSlot(slot);
}

int SlotOfChannel(int currentPage, int channel) {
    const int slot = CheckChannel(channel) - CheckPage(currentPage) * FADERS_PER_PAGE;
    return (slot >= 1 && slot <= FADERS_PER_PAGE) ? slot : 0;
}
