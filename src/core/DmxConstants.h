#pragma once
// The numbers of one DMX universe and of the desk's view of it, named once
// for every folder.

#include <cstdint>

inline constexpr int DMX_UNIVERSE_SIZE = 512; // channels (slots) in one universe
inline constexpr int DMX_MAX_LEVEL = 255;
inline constexpr int FADERS_PER_PAGE = 32;
inline constexpr int PAGE_COUNT = DMX_UNIVERSE_SIZE / FADERS_PER_PAGE;

// The levels of a whole universe, channel 1 first.
using TDmxLevels = std::uint8_t[DMX_UNIVERSE_SIZE];
