#include <gtest/gtest.h>

#include "EmitterProbe.h"
#include "slider/SignalSettings.h"

namespace {

// The fader bank's mapping: digits 0..255 onto 0..100 %.
void ApplyBankMapping(TSignalSettings& s) {
    s.SetDigitalFrom(0);
    s.SetDigitalTo(255);
    s.SetValueTo(100.0f);
    s.SetValueFormat(QStringLiteral("##0"));
}

TEST(SignalSettingsTest, ConstructionDefaults) {
    TSignalSettings s;
    EXPECT_EQ(s.DigitalFrom(), 0);
    EXPECT_EQ(s.DigitalTo(), 1000);
    EXPECT_EQ(s.Name1(), QStringLiteral("SignalName1"));
    EXPECT_EQ(s.Name2(), QStringLiteral("SignalName2"));
    EXPECT_EQ(s.ValueFormat(), QStringLiteral("##0.0"));
    EXPECT_EQ(s.ValueFrom(), 0.0f);
    EXPECT_EQ(s.ValueTo(), 100.0f);
    EXPECT_EQ(s.ValueUnit(), QStringLiteral("%"));
    EXPECT_EQ(s.ValueSpan(), 100.0f);
    EXPECT_EQ(s.DigitalSpan(), 1000);
    EXPECT_EQ(s.ValuePerDigit(), 0.0f);
    EXPECT_EQ(s.DigitsPerValue(), 0.0f);
    EXPECT_EQ(s.SampleText(), QStringLiteral("##0.0"));
}

TEST(SignalSettingsTest, BankMappingFactorsInSinglePrecision) {
    TSignalSettings s;
    ApplyBankMapping(s);
    EXPECT_EQ(s.DigitalSpan(), 255);
    EXPECT_EQ(s.ValuePerDigit(), 0.39215687f);
    EXPECT_EQ(s.DigitsPerValue(), 2.55f);
    EXPECT_DOUBLE_EQ(static_cast<double>(s.DigitsPerValue()), 2.5499999523162842);
    EXPECT_EQ(s.SampleText(), QStringLiteral("##0"));
}

struct MappingCase {
    const char* name;
    int digit;
    float value;
};

class DigitToValueTest : public testing::TestWithParam<MappingCase> {};

TEST_P(DigitToValueTest, Maps) {
    TSignalSettings s;
    ApplyBankMapping(s);
    EXPECT_EQ(s.DigitToValue(GetParam().digit), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Bank, DigitToValueTest,
                         testing::Values(MappingCase{"Half", 128, 50.196079f},
                                         MappingCase{"Top", 255, 100.0f},
                                         MappingCase{"OneStep", 1, 0.39215687f},
                                         MappingCase{"Bottom", 0, 0.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

class ValueToDigitTest : public testing::TestWithParam<MappingCase> {};

TEST_P(ValueToDigitTest, Maps) {
    TSignalSettings s;
    ApplyBankMapping(s);
    EXPECT_EQ(s.ValueToDigit(GetParam().value), GetParam().digit);
}

INSTANTIATE_TEST_SUITE_P(Bank, ValueToDigitTest,
                         testing::Values(MappingCase{"FiftyIsJustBelowHalfStep", 127, 50.0f},
                                         MappingCase{"Hundred", 255, 100.0f},
                                         MappingCase{"Ten", 25, 10.0f},
                                         MappingCase{"Zero", 0, 0.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SignalSettingsTest, ExactHalfDigitGoesToEven) {
    TSignalSettings s; // 0..1000 onto 0..100: ten digits per unit
    s.Changed();
    EXPECT_EQ(s.ValueToDigit(0.25f), 2);  // 2.5 -> 2
    EXPECT_EQ(s.ValueToDigit(0.75f), 8);  // 7.5 -> 8
    EXPECT_EQ(s.ValueToDigit(0.375f), 4); // 3.75 -> 4
}

TEST(SignalSettingsTest, ChangedOnlyOnEffectiveChange) {
    TSignalSettings s;
    int changes = 0;
    EmitterProbe probe;
    QObject::connect(&s, &TSkPersistent::changed, &probe, [&] {
        EXPECT_EQ(probe.Emitter(), &s);
        ++changes;
    });
    s.SetDigitalTo(1000);
    s.SetName1(QStringLiteral("SignalName1"));
    EXPECT_EQ(changes, 0);
    s.SetDigitalTo(255);
    s.SetName1(QStringLiteral("Front"));
    s.SetValueUnit(QStringLiteral("dB"));
    EXPECT_EQ(changes, 3);
}

TEST(SignalSettingsTest, AssignedZeroLowerBoundIsKeptJustAboveZero) {
    TSignalSettings s;
    s.SetValueFrom(10.0f);
    s.SetValueFrom(0.0f);
    EXPECT_EQ(s.ValueFrom(), 0.000001f);
}

TEST(SignalSettingsTest, BoundsIgnoreAValueEqualToEitherBound) {
    TSignalSettings s;
    int changes = 0;
    QObject::connect(&s, &TSkPersistent::changed, [&] { ++changes; });
    s.SetValueFrom(100.0f); // equals ValueTo
    s.SetValueTo(0.0f);     // equals ValueFrom
    s.SetValueFrom(0.0f);   // equals itself: stays exactly 0
    EXPECT_EQ(s.ValueFrom(), 0.0f);
    EXPECT_EQ(s.ValueTo(), 100.0f);
    EXPECT_EQ(changes, 0);
}

TEST(SignalSettingsTest, NoOrderCheckAndSpanKeptForReversedPositivePair) {
    TSignalSettings s;
    s.Changed();
    s.SetValueTo(-5.0f); // from 0, to -5: the span stays 100
    EXPECT_EQ(s.ValueTo(), -5.0f);
    EXPECT_EQ(s.ValueSpan(), 100.0f);
    s.SetDigitalTo(0); // from 0, to 0: the digital span stays too
    EXPECT_EQ(s.DigitalSpan(), 1000);
    EXPECT_EQ(s.ValuePerDigit(), 0.1f);
}

struct SpanCase {
    const char* name;
    float from, to, span;
};

class ValueSpanTest : public testing::TestWithParam<SpanCase> {};

TEST_P(ValueSpanTest, IsToMinusFrom) {
    TSignalSettings s;
    s.SetValueTo(GetParam().to);
    s.SetValueFrom(GetParam().from);
    EXPECT_EQ(s.ValueSpan(), GetParam().span);
}

INSTANTIATE_TEST_SUITE_P(SignCases, ValueSpanTest,
                         testing::Values(SpanCase{"BothNegative", -50.0f, -10.0f, 40.0f},
                                         SpanCase{"AcrossZero", -20.0f, 30.0f, 50.0f},
                                         SpanCase{"BothPositive", 10.0f, 30.0f, 20.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SignalSettingsTest, NegativeDigitalRange) {
    TSignalSettings s;
    s.SetDigitalFrom(-100);
    EXPECT_EQ(s.DigitalSpan(), 1100);
    s.SetDigitalTo(-10);
    EXPECT_EQ(s.DigitalSpan(), 90);
}

} // namespace
