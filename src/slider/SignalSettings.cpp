#include "slider/SignalSettings.h"

#include <cmath>

#include "slider/Rect.h"
#include "slider/ValueFormat.h"

TSignalSettings::TSignalSettings(QObject* parent) : TSkPersistent(parent) {}

void TSignalSettings::SetValueFrom(float v) {
    if (v == FValueFrom || v == FValueTo) return;
    FValueFrom = v == 0.0f ? 0.000001f : v;
    Changed();
}

void TSignalSettings::SetValueTo(float v) {
    if (v == FValueFrom || v == FValueTo) return;
    FValueTo = v;
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
    FValueSpan = SpanBySign(FValueFrom, FValueTo, FValueSpan);
    const std::int64_t span = SpanBySign<std::int64_t>(FDigitalFrom, FDigitalTo, FDigitalSpan);
    FDigitalSpan = static_cast<std::int32_t>(span); // wraps as the 32-bit field does

    if (FDigitalSpan > 0)
        FValuePerDigit = static_cast<float>(static_cast<double>(FValueSpan) / FDigitalSpan);
    if (FValueSpan > 0) {
        FDigitsPerValue = static_cast<float>(FDigitalSpan / static_cast<double>(FValueSpan));
        FSampleText = SampleTextOf(FValueFormat);
    }
    TSkPersistent::Changed();
}

float TSignalSettings::DigitToValue(std::int32_t digit) const {
    const long double v =
        (static_cast<long double>(digit) - FDigitalFrom) * FValuePerDigit + FValueFrom;
    return static_cast<float>(v);
}

std::int32_t TSignalSettings::ValueToDigit(float value) const {
    const long double d =
        (static_cast<long double>(value) - FValueFrom) * FDigitsPerValue + FDigitalFrom;
    if (!(d > -2147483648.0L)) return INT32_MIN; // also NaN
    if (d >= 2147483647.0L) return INT32_MAX;
    return RoundEven(static_cast<double>(d));
}

void TSignalSettings::Assign(const TSignalSettings& other) {
    FDigitalFrom = other.FDigitalFrom;
    FDigitalTo = other.FDigitalTo;
    FName1 = other.FName1;
    FName2 = other.FName2;
    FValueFormat = other.FValueFormat;
    FValueFrom = other.FValueFrom;
    FValueTo = other.FValueTo;
    FValueUnit = other.FValueUnit;
    Changed();
}
