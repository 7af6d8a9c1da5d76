#pragma once
// A key as a window message for the host: its message number, wParam with
// the modifier bits, and lParam as Windows builds it.

#include <bitset>
#include <cstdint>
#include <optional>

#include "core/VirtualKeys.h"

namespace hostlink {

// Flags folded into a forwarded key's wParam.
inline constexpr std::uint32_t FORWARD_SHIFT_BIT = 0x100;
inline constexpr std::uint32_t FORWARD_CTRL_BIT = 0x200;

struct KeyState {
    bool Press = true;
    bool AutoRepeat = false;
    bool AltHeld = false;
    bool AfterAltChord = false; // Alt's release after another key was typed with it
};

// The key message's number: WM_SYSKEYDOWN/UP for F10, for keys typed while
// Alt is held and for the release of Alt pressed alone; WM_KEYDOWN/UP
// otherwise (Alt's release after a chord included).
std::uint32_t KeyMessageNumber(const VirtualKey& key, const KeyState& state);

// lParam as Windows builds it: repeat count 1, scan code, extended flag,
// context (Alt held), previous state (down before), transition (release).
std::uint64_t KeyLParam(const VirtualKey& key, const KeyState& state);

// The forwarded wParam: Shift wins over Ctrl.
std::uint32_t ForwardedWParam(std::uint32_t code, bool shift, bool ctrl);

// One key event as the toolkit reports it, free of any toolkit type.
struct KeyInput {
    bool Press = true;
    bool AutoRepeat = false;
    std::uint32_t NativeScanCode = 0; // X11 key code (evdev + 8); 0 when unknown
    int QtKey = 0;
    bool Keypad = false;
    // Modifiers as the toolkit reports them with the event (a modifier's own
    // press includes it, its release does not).
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

struct KeyMessage {
    std::uint32_t Msg = 0;
    std::uint32_t WParam = 0;
    std::uint64_t LParam = 0;
};

// Turns the program's key events into the messages a Windows program would
// have posted for them, following what Windows keeps track of: which Shift
// and Ctrl keys are down, whether Alt was pressed alone, which keys are down
// (a press of a key already down is a repeat, whatever the toolkit says), and
// the keypad without Num Lock. Every key event is to be given, in order,
// including those that end up not forwarded.
class KeyTranslator {
public:
    // The message to post, or nothing: keys without a code, keys typed with
    // Alt held, Scroll Lock, and the key-ups of auto-repeat.
    std::optional<KeyMessage> Translate(const KeyInput& input);

    // The next repeat of a held Shift or Ctrl, while it is the key pressed
    // last: the window system repeats no modifier, Windows repeats these.
    // Nothing once another key was pressed or the modifier released.
    std::optional<KeyMessage> ModifierRepeat() const;

private:
    std::optional<VirtualKey> lastPressed_; // while still down
    bool leftShift_ = false;
    bool rightShift_ = false;
    bool leftCtrl_ = false;
    bool rightCtrl_ = false;
    bool altChord_ = false;
    std::bitset<256> down_; // keys down now, by scan code and extended flag
};

} // namespace hostlink
