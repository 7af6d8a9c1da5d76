#include "slider/ValueModel.h"

#include <algorithm>

bool TSkValueModel::SetDigit(std::int32_t digit) {
    if (digit == digit_) return false;
    digit_ = digit;
    if (digit_ > settings_.DigitalTo()) digit_ = settings_.DigitalTo();
    if (digit_ < settings_.DigitalFrom()) digit_ = settings_.DigitalFrom();
    value_ = settings_.DigitToValue(digit_);
    return true;
}

std::optional<std::int32_t> TSkValueModel::PrepareValue(float value) {
    if (value == value_) return std::nullopt;
    value_ = value;
    if (value_ > settings_.ValueTo()) value_ = settings_.ValueTo();
    if (value_ < settings_.ValueFrom()) value_ = settings_.ValueFrom();
    return settings_.ValueToDigit(value_);
}

std::int32_t TSkValueModel::StepTarget(std::int32_t up, std::int32_t down) const {
    std::int64_t target = up > 0 ? std::int64_t{digit_} + up : std::int64_t{digit_} - down;
    target = std::min<std::int64_t>(target, settings_.DigitalTo());
    target = std::max<std::int64_t>(target, settings_.DigitalFrom());
    return static_cast<std::int32_t>(target);
}

TKeyAction KeyActionFor(unsigned short vk, TEnabledKeys enabled) {
    struct Row {
        unsigned short vk;
        TEnabledKey member;
        TKeyAction action;
    };
    static constexpr Row kRows[] = {
        {VK_PRIOR, _VK_PRIOR, TKeyAction::PageUp}, {VK_NEXT, _VK_NEXT, TKeyAction::PageDown},
        {VK_END, _VK_END, TKeyAction::ToTop},      {VK_HOME, _VK_HOME, TKeyAction::ToBottom},
        {VK_LEFT, _VK_LEFT, TKeyAction::StepDown}, {VK_UP, _VK_UP, TKeyAction::StepUp},
        {VK_RIGHT, _VK_RIGHT, TKeyAction::StepUp}, {VK_DOWN, _VK_DOWN, TKeyAction::StepDown},
    };
    for (const Row& r : kRows)
        if (r.vk == vk) return (enabled & r.member) ? r.action : TKeyAction::None;
    return TKeyAction::None;
}

int WheelStepFor(int delta) {
    switch (delta & 0xFF) {
    case 0x78:
        return 1;
    case 0x88:
        return -1;
    default:
        return 0;
    }
}

std::int32_t SlideDigitFor(const TSkRect& trench, int y, std::int32_t digitalSpan,
                           std::int32_t digitalFrom) {
    y = std::max(y, trench.Top);
    y = std::min(y, trench.Bottom);
    const int height = trench.Bottom - trench.Top;
    if (height <= 0) return digitalFrom; // no trench laid out: the bottom
    const double perPixel = static_cast<double>(digitalSpan) / height;
    return RoundEven(perPixel * (trench.Bottom - y)) + digitalFrom;
}
