#include <gtest/gtest.h>

#include "slider/ValueModel.h"

namespace {

class ValueModelTest : public testing::Test {
protected:
    void SetUp() override {
        settings.SetDigitalTo(255);
        settings.SetValueFormat(QStringLiteral("##0"));
    }
    TSignalSettings settings;
    TSkValueModel model{settings};
};

TEST_F(ValueModelTest, StartsAtHundredAndTen) {
    EXPECT_EQ(model.Digit(), 100);
    EXPECT_EQ(model.Value(), 10.0f);
}

TEST_F(ValueModelTest, SameDigitIsNoChange) {
    EXPECT_FALSE(model.SetDigit(100));
    EXPECT_EQ(model.Value(), 10.0f); // not recomputed either
}

TEST_F(ValueModelTest, ComparisonIsMadeBeforeClamping) {
    ASSERT_TRUE(model.SetDigit(255));
    EXPECT_TRUE(model.SetDigit(300)); // counts as a change although 255 stays
    EXPECT_EQ(model.Digit(), 255);
    ASSERT_TRUE(model.SetDigit(200));
    EXPECT_TRUE(model.SetDigit(300));
    EXPECT_EQ(model.Digit(), 255);
    EXPECT_TRUE(model.SetDigit(-4));
    EXPECT_EQ(model.Digit(), 0);
}

TEST_F(ValueModelTest, DigitSetsExactValue) {
    ASSERT_TRUE(model.SetDigit(128));
    EXPECT_EQ(model.Value(), 50.196079f);
}

TEST_F(ValueModelTest, ValueOnTheSameDigitStaysUnsnapped) {
    ASSERT_TRUE(model.SetDigit(0));
    const auto digit = model.PrepareValue(0.1f);
    ASSERT_TRUE(digit.has_value());
    EXPECT_EQ(*digit, 0);
    EXPECT_FALSE(model.SetDigit(*digit));
    EXPECT_EQ(model.Value(), 0.1f);
}

TEST_F(ValueModelTest, ValueIsClampedBeforeMapping) {
    EXPECT_EQ(model.PrepareValue(150.0f), 255);
    EXPECT_EQ(model.Value(), 100.0f);
    EXPECT_EQ(model.PrepareValue(-3.0f), 0);
    EXPECT_EQ(model.Value(), 0.0f);
    EXPECT_FALSE(model.PrepareValue(0.0f).has_value()); // equal to the stored value
}

TEST_F(ValueModelTest, MappingChangeKeepsValueUntilNextMove) {
    ASSERT_TRUE(model.SetDigit(128));
    settings.SetValueTo(255.0f);
    EXPECT_EQ(model.Value(), 50.196079f);
    ASSERT_TRUE(model.SetDigit(129));
    EXPECT_EQ(model.Value(), 129.0f);
}

struct StepCase {
    const char* name;
    int start, up, down, target;
};

class StepTargetTest : public ValueModelTest, public testing::WithParamInterface<StepCase> {};

TEST_P(StepTargetTest, Clamps) {
    const StepCase& c = GetParam();
    model.SetDigit(c.start);
    EXPECT_EQ(model.StepTarget(c.up, c.down), c.target);
}

INSTANTIATE_TEST_SUITE_P(Steps, StepTargetTest,
                         testing::Values(StepCase{"PageUpNearTop", 250, 25, 0, 255},
                                         StepCase{"UpAtTop", 255, 1, 0, 255},
                                         StepCase{"DownNearBottom", 3, 0, 25, 0},
                                         StepCase{"UpWinsOverDown", 10, 1, 5, 11},
                                         StepCase{"ZeroUpStepsDown", 10, 0, 5, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    unsigned short vk;
    TEnabledKeys enabled;
    TKeyAction action;
};

class KeyActionTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyActionTest, Maps) {
    EXPECT_EQ(KeyActionFor(GetParam().vk, GetParam().enabled), GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyActionTest,
    testing::Values(
        KeyCase{"PageUp", VK_PRIOR, AllEnabledKeys, TKeyAction::PageUp},
        KeyCase{"PageDown", VK_NEXT, AllEnabledKeys, TKeyAction::PageDown},
        KeyCase{"EndGoesToTop", VK_END, AllEnabledKeys, TKeyAction::ToTop},
        KeyCase{"HomeGoesToBottom", VK_HOME, AllEnabledKeys, TKeyAction::ToBottom},
        KeyCase{"LeftStepsDown", VK_LEFT, AllEnabledKeys, TKeyAction::StepDown},
        KeyCase{"UpStepsUp", VK_UP, AllEnabledKeys, TKeyAction::StepUp},
        KeyCase{"RightStepsUp", VK_RIGHT, AllEnabledKeys, TKeyAction::StepUp},
        KeyCase{"DownStepsDown", VK_DOWN, AllEnabledKeys, TKeyAction::StepDown},
        KeyCase{"RightRemoved", VK_RIGHT, AllEnabledKeys & ~_VK_RIGHT, TKeyAction::None},
        KeyCase{"UpStaysWhenRightRemoved", VK_UP, AllEnabledKeys & ~_VK_RIGHT, TKeyAction::StepUp},
        KeyCase{"OtherKey", 0x41, AllEnabledKeys, TKeyAction::None},
        KeyCase{"ZeroedKey", 0, AllEnabledKeys, TKeyAction::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnabledKeyTest, BitsInOrder) {
    EXPECT_EQ(_VK_PRIOR, 0x01);
    EXPECT_EQ(_VK_NEXT, 0x02);
    EXPECT_EQ(_VK_END, 0x04);
    EXPECT_EQ(_VK_HOME, 0x08);
    EXPECT_EQ(_VK_LEFT, 0x10);
    EXPECT_EQ(_VK_DOWN, 0x20);
    EXPECT_EQ(_VK_UP, 0x40);
    EXPECT_EQ(_VK_RIGHT, 0x80);
}

struct WheelCase {
    const char* name;
    int delta, step;
};

class WheelStepTest : public testing::TestWithParam<WheelCase> {};

TEST_P(WheelStepTest, LooksAtTheLowByteOnly) {
    EXPECT_EQ(WheelStepFor(GetParam().delta), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(
    Deltas, WheelStepTest,
    testing::Values(WheelCase{"OneNotchAway", 120, 1}, WheelCase{"OneNotchTowards", -120, -1},
                    WheelCase{"TwoNotchesLowByteF0", 240, 0}, WheelCase{"FineDelta", 15, 0},
                    WheelCase{"HighByteIgnored", 0x178, 1}, WheelCase{"Zero", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct SlideCase {
    const char* name;
    int y, digit;
};

class SlideDigitTest : public testing::TestWithParam<SlideCase> {};

TEST_P(SlideDigitTest, MapsTheRow) {
    const TSkRect trench{30, 50, 33, 152}; // 102 rows
    EXPECT_EQ(SlideDigitFor(trench, GetParam().y, 255, 0), GetParam().digit);
}

INSTANTIATE_TEST_SUITE_P(Rows, SlideDigitTest,
                         testing::Values(SlideCase{"Bottom", 152, 0}, SlideCase{"Top", 50, 255},
                                         SlideCase{"AboveTrench", -40, 255},
                                         SlideCase{"BelowTrench", 900, 0},
                                         SlideCase{"Middle", 101, 128}, // 127.5 to even
                                         SlideCase{"OneRowUp", 151, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SlideDigitTest, EmptyTrenchGivesTheBottom) {
    EXPECT_EQ(SlideDigitFor({}, 10, 255, 7), 7);
}

} // namespace
