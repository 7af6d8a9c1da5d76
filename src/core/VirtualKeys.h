#pragma once
// Keys as Windows names them: virtual-key codes and set-1 scan codes, made
// from what Qt tells about a key event. The controls' key events and the
// keys forwarded to the host both speak them.

#include <cstdint>
#include <optional>

inline constexpr std::uint32_t VK_SHIFT = 0x10;
inline constexpr std::uint32_t VK_CONTROL = 0x11;
inline constexpr std::uint32_t VK_MENU = 0x12; // Alt
inline constexpr std::uint32_t VK_F10 = 0x79;
inline constexpr std::uint32_t VK_SCROLL = 0x91;

struct VirtualKey {
    std::uint32_t Code = 0;    // VK_*
    std::uint8_t ScanCode = 0; // set-1 scan code
    bool Extended = false;     // E0-prefixed keys: arrows, the navigation block, right Ctrl/Alt
};

// From the X11 key code of the event (evdev code + 8) when there is one, so
// that the code follows the key's position as on Windows; otherwise from
// Qt's key (offscreen and other platforms without native codes).
std::optional<VirtualKey> VirtualKeyFromNative(std::uint32_t nativeScanCode);
std::optional<VirtualKey> VirtualKeyFromQt(int qtKey, bool keypad = false);

// The navigation key a keypad digit or decimal key is with Num Lock off
// (VK_HOME for keypad 7 ...), with the keypad's scan code and not extended;
// nothing for other keys.
std::optional<VirtualKey> KeypadNavigation(const VirtualKey& key);
// Whether Qt names a key as one of those navigation keys (Home, Up, Clear ...).
bool IsKeypadNavigationQtKey(int qtKey);

// The code alone, 0 for keys without one.
unsigned short VirtualKeyCodeOf(int qtKey);
