#pragma once
// Turns a surface's MIDI messages into what its controls did, through its
// profile, and the desk's levels and bump lights into the messages that
// show them on those controls.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "surfaces/SurfaceInput.h"
#include "surfaces/SurfaceProfile.h"

using TMidiBytes = std::vector<std::uint8_t>;

class TMidiCodec {
public:
    explicit TMidiCodec(TSurfaceProfile profile);

    const TSurfaceProfile& Profile() const { return profile_; }
    // nullopt for a message no control of the profile sends, or a malformed one.
    std::optional<TSurfaceInput> Decode(const std::uint8_t* bytes, std::size_t size);
    // The messages that put fader `index` at `value` (in its own resolution).
    TMidiBytes FaderMessage(int index, int value) const;
    TMidiBytes BumpMessage(int index, bool lit) const;
    TMidiBytes PageMessage(int page, bool lit) const;
    // Full scale of fader `index`'s value, 0 when the profile has no such fader.
    int FaderMax(int index) const;

private:
    const TProfileControl* Find(int role, int index) const;
    TSurfaceProfile profile_;
    std::unordered_map<std::uint32_t, int> byKey_; // message key -> control
    std::vector<int> msb_;                         // per control: the last MSB of a 14-bit CC
};

// A control moved in a learn: the address it sends (a fader's kinds only).
std::optional<TMidiAddress> LearnedAddress(const std::uint8_t* bytes, std::size_t size);
