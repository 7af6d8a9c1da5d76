#include "widgets/SkSignal.h"

#include <cmath>
#include <cstdlib>

#include "widgets/SkFormat.h"
#include "widgets/SkGeometry.h"

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

void TSignalSettings::Changed() {
    // Spans from the magnitudes by sign case; a pair with "from" at or above
    // zero and "to" at or below zero keeps the previous span.
    const float vf = FValueFrom, vt = FValueTo;
    if (vf < 0 && vt < 0)
        FValueSpan = std::fabs(vf) - std::fabs(vt);
    else if (vf < 0 && vt >= 0)
        FValueSpan = std::fabs(vf) + std::fabs(vt);
    else if (vf >= 0 && vt > 0)
        FValueSpan = std::fabs(vt) - std::fabs(vf);

    const std::int64_t df = FDigitalFrom, dt = FDigitalTo;
    std::int64_t span = FDigitalSpan;
    if (df < 0 && dt < 0)
        span = std::llabs(df) - std::llabs(dt);
    else if (df < 0 && dt >= 0)
        span = std::llabs(df) + std::llabs(dt);
    else if (df >= 0 && dt > 0)
        span = std::llabs(dt) - std::llabs(df);
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
