#include <Qt>
#include <gtest/gtest.h>

#include "core/VirtualKeys.h"
#include "hostlink/KeyMessages.h"
#include "hostlink/Protocol.h"

using namespace hostlink;

namespace {

struct NativeCase {
    const char* name;
    std::uint32_t x11Keycode;
    std::uint32_t vk;
    std::uint8_t scan;
    bool extended;
};

class NativeKeys : public ::testing::TestWithParam<NativeCase> {};

TEST_P(NativeKeys, MapToWindowsCodes) {
    const NativeCase& c = GetParam();
    const auto key = VirtualKeyFromNative(c.x11Keycode);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->Code, c.vk);
    EXPECT_EQ(key->ScanCode, c.scan);
    EXPECT_EQ(key->Extended, c.extended);
}

INSTANTIATE_TEST_SUITE_P(VirtualKeys, NativeKeys,
                         ::testing::Values(NativeCase{"LetterA", 38, 'A', 0x1E, false},
                                           NativeCase{"DigitOne", 10, '1', 0x02, false},
                                           NativeCase{"LeftShift", 50, 0x10, 0x2A, false},
                                           NativeCase{"RightCtrlIsExtended", 105, 0x11, 0x1D, true},
                                           NativeCase{"UpArrowIsExtended", 111, 0x26, 0x48, true},
                                           NativeCase{"KeypadEightIsNot", 80, 0x68, 0x48, false},
                                           NativeCase{"F10", 76, 0x79, 0x44, false},
                                           NativeCase{"ScrollLock", 78, 0x91, 0x46, false},
                                           NativeCase{"OemMinus", 20, 0xBD, 0x0C, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VirtualKeys, UnknownCodesHaveNoKey) {
    EXPECT_FALSE(VirtualKeyFromNative(0).has_value());
    EXPECT_FALSE(VirtualKeyFromNative(7).has_value());
    EXPECT_FALSE(VirtualKeyFromNative(255).has_value());
    EXPECT_FALSE(VirtualKeyFromQt(Qt::Key_unknown, false).has_value());
}

TEST(VirtualKeys, QtKeysFollowTheUsLayoutWithoutNativeCodes) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A, false)->Code, std::uint32_t{'A'});
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, false)->Code, std::uint32_t{'1'})
        << "Shift+1 is still key 1";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Question, false)->Code, 0xBFu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5, true)->Code, 0x65u) << "keypad 5";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter, true)->Extended, true);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left, false)->Code, 0x25u);
    EXPECT_EQ(VirtualKeyCodeOf(Qt::Key_F13), 0x7C);
    EXPECT_EQ(VirtualKeyCodeOf(Qt::Key_Backtab), 0x09) << "Shift+Tab is the Tab key";
    EXPECT_EQ(VirtualKeyCodeOf(Qt::Key_unknown), 0);
}

TEST(VirtualKeys, MessageNumbers) {
    const VirtualKey a{'A', 0x1E, false}, f10{VK_F10, 0x44, false}, alt{VK_MENU, 0x38, false};
    EXPECT_EQ(KeyMessageNumber(a, {true, false, false}), WM_KEYDOWN);
    EXPECT_EQ(KeyMessageNumber(a, {false, false, false}), WM_KEYUP);
    EXPECT_EQ(KeyMessageNumber(a, {true, false, true}), WM_SYSKEYDOWN) << "Alt+A";
    EXPECT_EQ(KeyMessageNumber(f10, {true, false, false}), WM_SYSKEYDOWN) << "F10 alone";
    EXPECT_EQ(KeyMessageNumber(f10, {false, false, false}), WM_SYSKEYUP);
    EXPECT_EQ(KeyMessageNumber(alt, {true, false, true}), WM_SYSKEYDOWN);
    EXPECT_EQ(KeyMessageNumber(alt, {false, false, false}), WM_SYSKEYUP) << "release of Alt";
}

TEST(VirtualKeys, LParamBitsAsWindowsBuildsThem) {
    const VirtualKey a{'A', 0x1E, false}, up{0x26, 0x48, true};
    EXPECT_EQ(KeyLParam(a, {true, false, false}), 0x001E0001u);
    EXPECT_EQ(KeyLParam(a, {true, true, false}), 0x401E0001u) << "auto-repeat: was down before";
    EXPECT_EQ(KeyLParam(a, {false, false, false}), 0xC01E0001u);
    EXPECT_EQ(KeyLParam(up, {true, false, false}), 0x01480001u);
    EXPECT_EQ(KeyLParam(a, {true, false, true}), 0x201E0001u) << "context: Alt held";
}

TEST(VirtualKeys, ShiftWinsOverCtrl) {
    EXPECT_EQ(ForwardedWParam(0x41, false, false), 0x41u);
    EXPECT_EQ(ForwardedWParam(0x41, true, false), 0x141u);
    EXPECT_EQ(ForwardedWParam(0x41, false, true), 0x241u);
    EXPECT_EQ(ForwardedWParam(0x58, true, true), 0x158u);
}

} // namespace
