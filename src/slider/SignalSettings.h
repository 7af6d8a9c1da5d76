#pragma once
// The mapping between the slider's integer position (Digit) and its real
// value, held in single precision as the control stores it.

#include <cstdint>

#include <QString>

#include "slider/Persistent.h"

class TSignalSettings : public TSkPersistent {
public:
    explicit TSignalSettings(QObject* parent = nullptr);

    std::int32_t DigitalFrom() const { return FDigitalFrom; }
    std::int32_t DigitalTo() const { return FDigitalTo; }
    const QString& Name1() const { return FName1; }
    const QString& Name2() const { return FName2; }
    const QString& ValueFormat() const { return FValueFormat; }
    float ValueFrom() const { return FValueFrom; }
    float ValueTo() const { return FValueTo; }
    const QString& ValueUnit() const { return FValueUnit; }

    void SetDigitalFrom(std::int32_t v) { Store(FDigitalFrom, v); }
    void SetDigitalTo(std::int32_t v) { Store(FDigitalTo, v); }
    void SetName1(const QString& v) { Store(FName1, v); }
    void SetName2(const QString& v) { Store(FName2, v); }
    void SetValueFormat(const QString& v) { Store(FValueFormat, v); }
    // Both ignore a value equal to either bound; an assigned 0 for the lower
    // bound is kept as 0.000001.
    void SetValueFrom(float v);
    void SetValueTo(float v);
    void SetValueUnit(const QString& v) { Store(FValueUnit, v); }

    // Derived by Changed.
    float ValueSpan() const { return FValueSpan; }
    std::int32_t DigitalSpan() const { return FDigitalSpan; }
    float ValuePerDigit() const { return FValuePerDigit; }
    float DigitsPerValue() const { return FDigitsPerValue; }
    const QString& SampleText() const { return FSampleText; }

    // Recomputes the derived fields, then emits changed.
    void Changed() override;

    // The value of a digit and the digit nearest to a value.
    float DigitToValue(std::int32_t digit) const;
    std::int32_t ValueToDigit(float value) const;

    // Copies the published fields (for a mirror of the mapping).
    void Assign(const TSignalSettings& other);

private:
    std::int32_t FDigitalFrom = 0;
    std::int32_t FDigitalTo = 1000;
    QString FName1 = QStringLiteral("SignalName1");
    QString FName2 = QStringLiteral("SignalName2");
    QString FValueFormat = QStringLiteral("##0.0");
    float FValueFrom = 0.0f;
    float FValueTo = 100.0f;
    QString FValueUnit = QStringLiteral("%");

    float FValueSpan = 100.0f;
    std::int32_t FDigitalSpan = 1000;
    float FValuePerDigit = 0.0f;
    float FDigitsPerValue = 0.0f;
    QString FSampleText = QStringLiteral("##0.0");
};
