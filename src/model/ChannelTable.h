#pragma once
// The record that holds all 512 channels. Its byte image is the layout file,
// so every field sits at a fixed offset and nothing is padded.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/Color.h"
#include "core/DmxConstants.h"

inline constexpr int CAPTION_CAPACITY = 12;

static_assert(std::endian::native == std::endian::little,
              "the layout image is little-endian and is copied as it lies in memory");

// A caption line: a length byte and 12 character bytes. Bytes behind the
// length are kept as they are, because they are saved that way.
#pragma pack(push, 1)
struct TShortString12 {
    std::uint8_t Length;
    char Chars[CAPTION_CAPACITY];

    std::string Text() const;
    // Stores the first 12 characters; the bytes behind them stay untouched.
    void Assign(const std::string& text);
};

struct TChannelTable {
    std::int32_t SaveMark;
    std::int32_t NewMark;
    std::uint8_t Level[DMX_UNIVERSE_SIZE];
    std::uint8_t Bump[DMX_UNIVERSE_SIZE];
    std::uint8_t ReservedBytes[DMX_UNIVERSE_SIZE];
    std::int32_t ReservedInts[DMX_UNIVERSE_SIZE];
    TShortString12 Name1[DMX_UNIVERSE_SIZE];
    TShortString12 Name2[DMX_UNIVERSE_SIZE];
    TShortString12 ReservedNames[DMX_UNIVERSE_SIZE];
    TColor FaderColor[DMX_UNIVERSE_SIZE];
    TColor ReservedColor1[DMX_UNIVERSE_SIZE];
    TColor ReservedColor2[DMX_UNIVERSE_SIZE];
    TColor ReservedColor3[DMX_UNIVERSE_SIZE];
    TColor ReservedColor4[DMX_UNIVERSE_SIZE];

    // Channel-numbered (1..512) access; a number outside raises
    // std::out_of_range before anything is touched.
    std::uint8_t& LevelOf(int channel);
    std::uint8_t LevelOf(int channel) const;
    std::uint8_t& BumpOf(int channel);
    std::uint8_t BumpOf(int channel) const;
    TShortString12& Name1Of(int channel);
    const TShortString12& Name1Of(int channel) const;
    TShortString12& Name2Of(int channel);
    const TShortString12& Name2Of(int channel) const;
    TColor& FaderColorOf(int channel);
    TColor FaderColorOf(int channel) const;
};
#pragma pack(pop)

inline constexpr std::size_t CHANNEL_TABLE_SIZE = 33800;

static_assert(sizeof(TShortString12) == 13);
static_assert(sizeof(TChannelTable) == CHANNEL_TABLE_SIZE);
static_assert(offsetof(TChannelTable, SaveMark) == 0);
static_assert(offsetof(TChannelTable, NewMark) == 4);
static_assert(offsetof(TChannelTable, Level) == 8);
static_assert(offsetof(TChannelTable, Bump) == 520);
static_assert(offsetof(TChannelTable, ReservedBytes) == 1032);
static_assert(offsetof(TChannelTable, ReservedInts) == 1544);
static_assert(offsetof(TChannelTable, Name1) == 3592);
static_assert(offsetof(TChannelTable, Name2) == 10248);
static_assert(offsetof(TChannelTable, ReservedNames) == 16904);
static_assert(offsetof(TChannelTable, FaderColor) == 23560);
static_assert(offsetof(TChannelTable, ReservedColor1) == 25608);
static_assert(offsetof(TChannelTable, ReservedColor2) == 27656);
static_assert(offsetof(TChannelTable, ReservedColor3) == 29704);
static_assert(offsetof(TChannelTable, ReservedColor4) == 31752);

// Resets every channel to its defaults. SaveMark and the character bytes of
// the captions are left as they are.
void ClearChannels(TChannelTable& table);

// Range checks for numbers computed from tags, pages and slots. Each returns
// its argument or raises std::out_of_range naming what was wrong.
int CheckChannel(int channel);
int CheckSlot(int slot);
int CheckPage(int currentPage); // 0..15
int CheckLevel(int level);

// Channel shown by a slot on a page (page 0..15, slot 1..32).
int ChannelOfSlot(int currentPage, int slot);
// Slot of a channel on the page shown, or 0 when the channel is on another page.
int SlotOfChannel(int currentPage, int channel);
