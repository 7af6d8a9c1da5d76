#include "hostlink/KeyMessages.h"

#include "hostlink/Protocol.h"

namespace hostlink {

std::uint32_t KeyMessageNumber(const VirtualKey& key, const KeyState& state) {
    const bool system =
        state.AltHeld || key.Code == VK_F10 || (!state.Press && key.Code == VK_MENU);
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

} // namespace hostlink
