#pragma once
// The mapping between the slider's integer position (Digit) and its real
// value, held in single precision as the control stores it.

#include <cstdint>

#include <QString>

#include "slider/Persistent.h"

class TSignalSettings : public TSkPersistent {
public:
    explicit TSignalSettings(QObject* parent = nullptr);

    std::int32_t DigitalFrom() const { return digitalFrom_; }
    std::int32_t DigitalTo() const { return digitalTo_; }
    const QString& Name1() const { return name1_; }
    const QString& Name2() const { return name2_; }
    const QString& ValueFormat() const { return valueFormat_; }
    float ValueFrom() const { return valueFrom_; }
    float ValueTo() const { return valueTo_; }
    const QString& ValueUnit() const { return valueUnit_; }

    void SetDigitalFrom(std::int32_t v) { Store(digitalFrom_, v); }
    void SetDigitalTo(std::int32_t v) { Store(digitalTo_, v); }
    void SetName1(const QString& v) { Store(name1_, v); }
    void SetName2(const QString& v) { Store(name2_, v); }
    void SetValueFormat(const QString& v) { Store(valueFormat_, v); }
    // Both ignore a value equal to either bound; an assigned 0 for the lower
    // bound is kept as 0.000001.
    void SetValueFrom(float v);
    void SetValueTo(float v);
    void SetValueUnit(const QString& v) { Store(valueUnit_, v); }

    // Derived by Changed.
    float ValueSpan() const { return valueSpan_; }
    std::int32_t DigitalSpan() const { return digitalSpan_; }
    float ValuePerDigit() const { return valuePerDigit_; }
    float DigitsPerValue() const { return digitsPerValue_; }
    const QString& SampleText() const { return sampleText_; }

    // Recomputes the derived fields, then emits changed.
    void Changed() override;

    // The value of a digit and the digit nearest to a value.
    float DigitToValue(std::int32_t digit) const;
    std::int32_t ValueToDigit(float value) const;

    // Copies the published fields (for a mirror of the mapping).
    void Assign(const TSignalSettings& other);

private:
    std::int32_t digitalFrom_ = 0;
    std::int32_t digitalTo_ = 1000;
    QString name1_ = QStringLiteral("SignalName1");
    QString name2_ = QStringLiteral("SignalName2");
    QString valueFormat_ = QStringLiteral("##0.0");
    float valueFrom_ = 0.0f;
    float valueTo_ = 100.0f;
    QString valueUnit_ = QStringLiteral("%");

    float valueSpan_ = 100.0f;
    std::int32_t digitalSpan_ = 1000;
    float valuePerDigit_ = 0.0f;
    float digitsPerValue_ = 0.0f;
    QString sampleText_ = QStringLiteral("##0.0");
};
