#pragma once
// A control surface's profile: which MIDI message each of its controls
// sends. Profiles are readable text, one control a line:
//
//   # comment
//   name Sixteen faders          what the dialog shows
//   faders 16                    physical faders, 1..32 (the bank's width)
//   motorised no                 no: faders take over softly
//   fader 1 cc 1 0               fader 1: CC 0 on MIDI channel 1, 7-bit
//   fader 2 cc14 1 1 33          CC 1 (MSB) and CC 33 (LSB), 14-bit
//   fader 3 pitchbend 2          pitch bend on MIDI channel 2
//   bump 1 note 1 0              note on/off (or "cc": 64 and up is on)
//   page 1 note 1 32             page 1..16 by note, cc or program
//   bank-left note 1 46          also bank-right, page-next, page-previous
//
// Read strictly: a bad or duplicate line is refused with its number, and
// nothing of a refused file is used.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t MAX_PROFILE_BYTES = 64 * 1024;
inline constexpr std::size_t MAX_PROFILE_LINE_BYTES = 256;
inline constexpr int MAX_PROFILE_CONTROLS = 512;

enum class TMidiKind : std::uint8_t { Cc, Cc14, PitchBend, Note, Program };

struct TMidiAddress {
    TMidiKind Kind = TMidiKind::Cc;
    int Channel = 0; // 0..15 (written 1..16)
    int Number = 0;  // 0..127: CC, note or program; the MSB of a 14-bit CC
    int Lsb = 0;     // the LSB's CC number of a 14-bit CC
    bool operator==(const TMidiAddress&) const = default;
    // Full scale of the value it carries: 127 or 16383.
    int Max() const;
};

enum class TControlRole : std::uint8_t {
    Fader,
    Bump,
    Page,
    BankLeft,
    BankRight,
    PageNext,
    PagePrevious,
    Channel, // a channel by number, from OSC only (never in a profile)
};

struct TProfileControl {
    TControlRole Role = TControlRole::Fader;
    int Index = 0; // fader or bump 1..faders, page 1..16; 0 for the others
    TMidiAddress Address;
    bool operator==(const TProfileControl&) const = default;
};

struct TSurfaceProfile {
    std::string Name;
    int Faders = 32;
    bool Motorised = false;
    std::vector<TProfileControl> Controls;
    bool operator==(const TSurfaceProfile&) const = default;
};

// Empty when `text` was read into `profile`; else "line N: what", `profile` untouched.
std::string ParseSurfaceProfile(std::string_view text, TSurfaceProfile& profile);
// The text ParseSurfaceProfile reads back as the same profile.
std::string FormatSurfaceProfile(const TSurfaceProfile& profile);

// The map used when none is named: faders on CC 0-31 of MIDI channel 1
// (7-bit, slot 1 first), bumps on notes 0-31, pages on notes 32-47.
TSurfaceProfile GenericProfile();

// Makes `address` the one control of fader `index` (a learned control):
// whatever else used that address or that fader is dropped. Only faders'
// kinds (cc, cc14, pitchbend) are taken; false for the others.
bool AssignFader(TSurfaceProfile& profile, int index, const TMidiAddress& address);

// The text a person reads for an address, as a profile writes it ("cc 1 7").
std::string AddressText(const TMidiAddress& address);
