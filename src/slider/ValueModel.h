#pragma once
// The slider's value model without the widget: the position and value with
// their clamping rules, and the pure rules that turn keys, wheel notches and
// pointer rows into positions.

#include <cstdint>
#include <optional>

#include "slider/Rect.h"
#include "slider/SignalSettings.h"

// Keys the slider answers, with their bit in EnabledKeys.
enum TEnabledKey : std::uint8_t {
    _VK_PRIOR = 0x01,
    _VK_NEXT = 0x02,
    _VK_END = 0x04,
    _VK_HOME = 0x08,
    _VK_LEFT = 0x10,
    _VK_DOWN = 0x20,
    _VK_UP = 0x40,
    _VK_RIGHT = 0x80,
};
using TEnabledKeys = std::uint8_t;
inline constexpr TEnabledKeys AllEnabledKeys = 0xFF;

// Windows virtual-key codes of the keys above.
inline constexpr unsigned short VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                                VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28;

class TSkValueModel {
public:
    explicit TSkValueModel(const TSignalSettings& settings) : settings_(settings) {}

    std::int32_t Digit() const { return digit_; }
    float Value() const { return value_; }

    // Moves to a digit. False when the request equals the current digit
    // (compared before clamping); else Digit and Value are updated.
    bool SetDigit(std::int32_t digit);
    // The first half of a value change: stores the clamped value and returns
    // the digit to move to, or nothing when the value is unchanged.
    std::optional<std::int32_t> PrepareValue(float value);
    // The clamped target of a step: up when up > 0, else down.
    std::int32_t StepTarget(std::int32_t up, std::int32_t down) const;

private:
    const TSignalSettings& settings_;
    std::int32_t digit_ = 100;
    float value_ = 10.0f;
};

enum class TKeyAction { None, PageUp, PageDown, ToTop, ToBottom, StepUp, StepDown };

// What a key does, given the enabled set.
TKeyAction KeyActionFor(unsigned short vk, TEnabledKeys enabled);

// +1 for a notch away from the user, -1 towards, 0 else: only the low byte
// of the wheel delta counts.
int WheelStepFor(int delta);

// The digit under a pointer row in a trench (its interior rectangle).
std::int32_t SlideDigitFor(const TSkRect& trench, int y, std::int32_t digitalSpan,
                           std::int32_t digitalFrom);
