#include "slider/SignalSettings.h"

#include <cmath>

#include "slider/Rect.h"
#include "slider/ValueFormat.h"

TSignalSettings::TSignalSettings(QObject* parent) : TSkPersistent(parent) {}

void TSignalSettings::SetValueFrom(float v) {
    if (v == valueFrom_ || v == valueTo_) return;
    valueFrom_ = v == 0.0f ? 0.000001f : v;
    Changed();
}

void TSignalSettings::SetValueTo(float v) {
    if (v == valueFrom_ || v == valueTo_) return;
    valueTo_ = v;
    Changed();
}

namespace {

// "to" minus "from" from the magnitudes by sign case; a pair with "from" at
// or above zero and "to" at or below zero keeps the previous span.
template <typename T>
T SpanBySign(T from, T to, T previous) {
    const T af = from < 0 ? -from : from, at = to < 0 ? -to : to;
    if (from < 0 && to < 0) return af - at;
    if (from < 0) return af + at;
    if (to > 0) return at - af;
    return previous;
}

} // namespace

void TSignalSettings::Changed() {
    valueSpan_ = SpanBySign(valueFrom_, valueTo_, valueSpan_);
    const std::int64_t span = SpanBySign<std::int64_t>(digitalFrom_, digitalTo_, digitalSpan_);
    digitalSpan_ = static_cast<std::int32_t>(span); // wraps as the 32-bit field does

    if (digitalSpan_ > 0)
        valuePerDigit_ = static_cast<float>(static_cast<double>(valueSpan_) / digitalSpan_);
    if (valueSpan_ > 0) {
        digitsPerValue_ = static_cast<float>(digitalSpan_ / static_cast<double>(valueSpan_));
        sampleText_ = SampleTextOf(valueFormat_);
    }
    TSkPersistent::Changed();
}

float TSignalSettings::DigitToValue(std::int32_t digit) const {
    const long double v =
        (static_cast<long double>(digit) - digitalFrom_) * valuePerDigit_ + valueFrom_;
    return static_cast<float>(v);
}

std::int32_t TSignalSettings::ValueToDigit(float value) const {
    const long double d =
        (static_cast<long double>(value) - valueFrom_) * digitsPerValue_ + digitalFrom_;
    if (!(d > -2147483648.0L)) return INT32_MIN; // also NaN
    if (d >= 2147483647.0L) return INT32_MAX;
    return RoundEven(static_cast<double>(d));
}

void TSignalSettings::Assign(const TSignalSettings& other) {
    digitalFrom_ = other.digitalFrom_;
    digitalTo_ = other.digitalTo_;
    name1_ = other.name1_;
    name2_ = other.name2_;
    valueFormat_ = other.valueFormat_;
    valueFrom_ = other.valueFrom_;
    valueTo_ = other.valueTo_;
    valueUnit_ = other.valueUnit_;
    Changed();
}
