#pragma once
// A key as a window message for the host: its message number, wParam with
// the modifier bits, and lParam as Windows builds it.

#include <cstdint>

#include "base/VirtualKeys.h"

namespace hostlink {

// Flags folded into a forwarded key's wParam.
inline constexpr std::uint32_t FORWARD_SHIFT_BIT = 0x100;
inline constexpr std::uint32_t FORWARD_CTRL_BIT = 0x200;

struct KeyState {
    bool Press = true;
    bool AutoRepeat = false;
    bool AltHeld = false;
};

// The key message's number: WM_SYSKEYDOWN/UP for F10, for keys typed while
// Alt is held and for the release of Alt itself; WM_KEYDOWN/UP otherwise.
std::uint32_t KeyMessageNumber(const VirtualKey& key, const KeyState& state);

// lParam as Windows builds it: repeat count 1, scan code, extended flag,
// context (Alt held), previous state (down before), transition (release).
std::uint64_t KeyLParam(const VirtualKey& key, const KeyState& state);

// The forwarded wParam: Shift wins over Ctrl.
std::uint32_t ForwardedWParam(std::uint32_t code, bool shift, bool ctrl);

} // namespace hostlink
