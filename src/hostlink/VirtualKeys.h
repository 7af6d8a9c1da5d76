#pragma once
// Keys as the host understands them: Windows virtual-key codes and the key
// message's lParam, made from what Qt tells about a key event.

#include <cstdint>
#include <optional>

namespace hostlink {

inline constexpr std::uint32_t VK_SHIFT = 0x10;
inline constexpr std::uint32_t VK_CONTROL = 0x11;
inline constexpr std::uint32_t VK_MENU = 0x12; // Alt
inline constexpr std::uint32_t VK_F10 = 0x79;
inline constexpr std::uint32_t VK_SCROLL = 0x91;

// Flags folded into a forwarded key's wParam.
inline constexpr std::uint32_t FORWARD_SHIFT_BIT = 0x100;
inline constexpr std::uint32_t FORWARD_CTRL_BIT = 0x200;

struct VirtualKey {
    std::uint32_t Code = 0;    // VK_*
    std::uint8_t ScanCode = 0; // set-1 scan code
    bool Extended = false;     // E0-prefixed keys: arrows, the navigation block, right Ctrl/Alt
};

// From the X11 key code of the event (evdev code + 8) when there is one, so
// that the code follows the key's position as on Windows; otherwise from
// Qt's key (offscreen and other platforms without native codes).
std::optional<VirtualKey> VirtualKeyFromNative(std::uint32_t nativeScanCode);
std::optional<VirtualKey> VirtualKeyFromQt(int qtKey, bool keypad);

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
