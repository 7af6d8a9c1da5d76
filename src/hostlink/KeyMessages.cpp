#include "hostlink/KeyMessages.h"

#include "hostlink/Protocol.h"

namespace hostlink {

std::uint32_t KeyMessageNumber(const VirtualKey& key, const KeyState& state) {
    const bool altAlone = !state.Press && key.Code == VK_MENU && !state.AfterAltChord;
    const bool system = state.AltHeld || key.Code == VK_F10 || altAlone;
    if (state.Press) return system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    return system ? WM_SYSKEYUP : WM_KEYUP;
}

std::uint64_t KeyLParam(const VirtualKey& key, const KeyState& state) {
    std::uint32_t l = 1; // repeat count
    l |= static_cast<std::uint32_t>(key.ScanCode) << 16;
    if (key.Extended) l |= 1u << 24;
    if (state.AltHeld) l |= 1u << 29;
    if (!state.Press || state.AutoRepeat) l |= 1u << 30;
    if (!state.Press) l |= 1u << 31;
    return l;
}

std::uint32_t ForwardedWParam(std::uint32_t code, bool shift, bool ctrl) {
    if (shift) return code | FORWARD_SHIFT_BIT;
    if (ctrl) return code | FORWARD_CTRL_BIT;
    return code;
}

namespace {

// Keeps one side's flag of a modifier in step with the event, and the pair
// in step with what the toolkit says for other keys (a modifier released
// while another window had the keyboard).
void Track(bool isThisModifier, bool right, const KeyInput& input, bool reported, bool& left,
           bool& rightHeld) {
    if (isThisModifier) {
        (right ? rightHeld : left) = input.Press;
    } else if (!reported) {
        left = rightHeld = false;
    } else if (!left && !rightHeld) {
        left = true;
    }
}

} // namespace

std::optional<KeyMessage> KeyTranslator::Translate(const KeyInput& input) {
    // X11 repeats a held key as release/press pairs; Windows sends only
    // repeated key-downs, so the repeat's releases do not exist there.
    if (!input.Press && input.AutoRepeat) return std::nullopt;

    std::optional<VirtualKey> key = VirtualKeyFromNative(input.NativeScanCode);
    if (!key) key = VirtualKeyFromQt(input.QtKey, input.Keypad);
    if (!key) return std::nullopt;

    bool shift = input.Shift;
    if (const auto navigation = KeypadNavigation(*key)) {
        // The toolkit names a keypad key as navigation with Num Lock off, or
        // with Num Lock on and Shift held, where Windows lifts Shift for it;
        // a digit with Shift held means Num Lock off, still navigation.
        const bool named = IsKeypadNavigationQtKey(input.QtKey);
        if (named || input.Shift) {
            if (named && input.Shift) shift = false;
            key = navigation;
        }
    }

    const bool isShift = key->Code == VK_SHIFT;
    const bool isCtrl = key->Code == VK_CONTROL;
    const bool isAlt = key->Code == VK_MENU;
    const bool right = key->Extended || key->ScanCode == 0x36; // right Ctrl, right Shift
    Track(isShift, right, input, input.Shift, leftShift_, rightShift_);
    Track(isCtrl, right, input, input.Ctrl, leftCtrl_, rightCtrl_);
    if (isShift) shift = leftShift_ || rightShift_;
    const bool ctrl = isCtrl ? (leftCtrl_ || rightCtrl_) : input.Ctrl;

    const std::size_t slot = key->ScanCode | (key->Extended ? 0x80u : 0u);
    const bool wasDown = down_.test(slot);
    down_.set(slot, input.Press);
    if (input.Press)
        lastPressed_ = key;
    else if (lastPressed_ && lastPressed_->ScanCode == key->ScanCode &&
             lastPressed_->Extended == key->Extended)
        lastPressed_.reset();

    KeyState state;
    state.Press = input.Press;
    state.AutoRepeat = input.Press && (input.AutoRepeat || wasDown);
    state.AltHeld = input.Alt;
    if (isAlt && input.Press && !input.AutoRepeat) {
        altChord_ = false;
    } else if (!isAlt && input.Press && input.Alt) {
        altChord_ = true;
    }
    state.AfterAltChord = isAlt && !input.Press && altChord_;

    // Keys typed with Alt held belong to the menus, not the host; Scroll
    // Lock is never forwarded.
    if (input.Alt || key->Code == VK_SCROLL) return std::nullopt;
    return KeyMessage{KeyMessageNumber(*key, state), ForwardedWParam(key->Code, shift, ctrl),
                      KeyLParam(*key, state)};
}

std::optional<KeyMessage> KeyTranslator::ModifierRepeat() const {
    if (!lastPressed_) return std::nullopt;
    const VirtualKey& key = *lastPressed_;
    if (key.Code != VK_SHIFT && key.Code != VK_CONTROL) return std::nullopt;
    KeyState state;
    state.AutoRepeat = true;
    return KeyMessage{KeyMessageNumber(key, state),
                      ForwardedWParam(key.Code, leftShift_ || rightShift_, leftCtrl_ || rightCtrl_),
                      KeyLParam(key, state)};
}

} // namespace hostlink
