// Keys as a Windows program receives them: each case is a sequence of key
// events as Qt reports them under X11 and the exact messages that follow.

#include <optional>
#include <string>
#include <vector>

#include <Qt>
#include <gtest/gtest.h>

#include "hostlink/KeyMessages.h"
#include "hostlink/Protocol.h"

using namespace hostlink;

namespace {

// X11 key codes (evdev + 8) of a standard keyboard.
enum X11 : std::uint32_t {
    kA = 38,
    kF = 41,
    kX = 53,
    kLShift = 50,
    kRShift = 62,
    kLCtrl = 37,
    kRCtrl = 105,
    kLAlt = 64,
    kF10 = 76,
    kScroll = 78,
    kUp = 111,
    kKp0 = 90,
    kKp5 = 84,
    kKp7 = 79,
    kKpDecimal = 91,
    kMute = 121,
    kVolumeUp = 123,
    kPlayPause = 172,
    kBrowserBack = 166,
    kBrowserHome = 180,
};

enum Mods : unsigned { None = 0, Shift = 1, Ctrl = 2, Alt = 4, Keypad = 8 };

struct Step {
    bool press;
    bool repeat;
    std::uint32_t native;
    int qtKey;
    unsigned mods;
    std::optional<KeyMessage> expected;
};

Step Down(std::uint32_t native, int qtKey, unsigned mods, std::optional<KeyMessage> expected) {
    return {true, false, native, qtKey, mods, expected};
}
Step Repeat(std::uint32_t native, int qtKey, unsigned mods, std::optional<KeyMessage> expected) {
    return {true, true, native, qtKey, mods, expected};
}
Step RepeatUp(std::uint32_t native, int qtKey, unsigned mods) {
    return {false, true, native, qtKey, mods, std::nullopt};
}
Step Up(std::uint32_t native, int qtKey, unsigned mods, std::optional<KeyMessage> expected) {
    return {false, false, native, qtKey, mods, expected};
}

KeyMessage KeyDown(std::uint32_t w, std::uint64_t l) {
    return {WM_KEYDOWN, w, l};
}
KeyMessage KeyUp(std::uint32_t w, std::uint64_t l) {
    return {WM_KEYUP, w, l};
}
KeyMessage SysDown(std::uint32_t w, std::uint64_t l) {
    return {WM_SYSKEYDOWN, w, l};
}
KeyMessage SysUp(std::uint32_t w, std::uint64_t l) {
    return {WM_SYSKEYUP, w, l};
}
constexpr std::nullopt_t kNothing = std::nullopt;

struct Case {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"HeldKeyRepeatsAsKeyDownsWithThePreviousStateBit",
         {Down(kA, Qt::Key_A, None, KeyDown(0x41, 0x001E0001)), RepeatUp(kA, Qt::Key_A, None),
          Repeat(kA, Qt::Key_A, None, KeyDown(0x41, 0x401E0001)), RepeatUp(kA, Qt::Key_A, None),
          Repeat(kA, Qt::Key_A, None, KeyDown(0x41, 0x401E0001)),
          Up(kA, Qt::Key_A, None, KeyUp(0x41, 0xC01E0001))}},
        {"PressOfAKeyAlreadyDownIsARepeatWithoutTheToolkitsFlag",
         {Down(kA, Qt::Key_A, None, KeyDown(0x41, 0x001E0001)),
          Down(kA, Qt::Key_A, None, KeyDown(0x41, 0x401E0001)),
          Up(kA, Qt::Key_A, None, KeyUp(0x41, 0xC01E0001)),
          Down(kA, Qt::Key_A, None, KeyDown(0x41, 0x001E0001))}},
        {"HeldArrowRepeatsKeepingTheExtendedBit",
         {Down(kUp, Qt::Key_Up, None, KeyDown(0x26, 0x01480001)), RepeatUp(kUp, Qt::Key_Up, None),
          Repeat(kUp, Qt::Key_Up, None, KeyDown(0x26, 0x41480001)),
          Up(kUp, Qt::Key_Up, None, KeyUp(0x26, 0xC1480001))}},
        {"KeypadWithNumLockOffGivesNavigationKeys",
         {Down(kKp7, Qt::Key_Home, Keypad, KeyDown(0x24, 0x00470001)),
          Up(kKp7, Qt::Key_Home, Keypad, KeyUp(0x24, 0xC0470001)),
          Down(kKp5, Qt::Key_Clear, Keypad, KeyDown(0x0C, 0x004C0001)),
          Down(kKp0, Qt::Key_Insert, Keypad, KeyDown(0x2D, 0x00520001)),
          Down(kKpDecimal, Qt::Key_Delete, Keypad, KeyDown(0x2E, 0x00530001))}},
        {"KeypadWithNumLockOnGivesDigits",
         {Down(kKp7, Qt::Key_7, Keypad, KeyDown(0x67, 0x00470001)),
          Down(kKpDecimal, Qt::Key_Period, Keypad, KeyDown(0x6E, 0x00530001))}},
        {"ShiftWithTheKeypadUnderNumLockGivesNavigationWithoutTheShiftBit",
         {Down(kLShift, Qt::Key_Shift, Shift, KeyDown(0x110, 0x002A0001)),
          Down(kKp7, Qt::Key_Home, Shift | Keypad, KeyDown(0x24, 0x00470001)),
          Up(kKp7, Qt::Key_Home, Shift | Keypad, KeyUp(0x24, 0xC0470001)),
          Up(kLShift, Qt::Key_Shift, None, KeyUp(0x10, 0xC02A0001))}},
        {"ShiftWithTheKeypadWithoutNumLockKeepsTheShiftBit",
         {Down(kLShift, Qt::Key_Shift, Shift, KeyDown(0x110, 0x002A0001)),
          Down(kKp7, Qt::Key_7, Shift | Keypad, KeyDown(0x124, 0x00470001))}},
        {"SecondShiftKeepsTheShiftBit",
         {Down(kLShift, Qt::Key_Shift, Shift, KeyDown(0x110, 0x002A0001)),
          Down(kRShift, Qt::Key_Shift, Shift, KeyDown(0x110, 0x00360001)),
          Up(kRShift, Qt::Key_Shift, None, KeyUp(0x110, 0xC0360001)),
          Down(kA, Qt::Key_A, Shift, KeyDown(0x141, 0x001E0001)),
          Up(kLShift, Qt::Key_Shift, None, KeyUp(0x10, 0xC02A0001))}},
        {"SecondCtrlKeepsTheCtrlBit",
         {Down(kLCtrl, Qt::Key_Control, Ctrl, KeyDown(0x211, 0x001D0001)),
          Down(kRCtrl, Qt::Key_Control, Ctrl, KeyDown(0x211, 0x011D0001)),
          Up(kRCtrl, Qt::Key_Control, None, KeyUp(0x211, 0xC11D0001)),
          Up(kLCtrl, Qt::Key_Control, None, KeyUp(0x11, 0xC01D0001))}},
        {"ShiftWinsOverCtrl",
         {Down(kX, Qt::Key_X, Shift | Ctrl, KeyDown(0x158, 0x002D0001)),
          Up(kX, Qt::Key_X, Ctrl, KeyUp(0x258, 0xC02D0001))}},
        {"AltChordIsNotForwardedAndAltsReleaseIsAPlainKeyUp",
         {Down(kLAlt, Qt::Key_Alt, Alt, kNothing), Down(kF, Qt::Key_F, Alt, kNothing),
          Up(kF, Qt::Key_F, Alt, kNothing), Up(kLAlt, Qt::Key_Alt, None, KeyUp(0x12, 0xC0380001))}},
        {"AltAloneReleasesAsASystemKeyUp",
         {Down(kLAlt, Qt::Key_Alt, Alt, kNothing),
          Up(kLAlt, Qt::Key_Alt, None, SysUp(0x12, 0xC0380001))}},
        {"AltAloneAfterAnEarlierChordIsASystemKeyUpAgain",
         {Down(kLAlt, Qt::Key_Alt, Alt, kNothing), Down(kF, Qt::Key_F, Alt, kNothing),
          Up(kLAlt, Qt::Key_Alt, None, KeyUp(0x12, 0xC0380001)),
          Down(kLAlt, Qt::Key_Alt, Alt, kNothing),
          Up(kLAlt, Qt::Key_Alt, None, SysUp(0x12, 0xC0380001))}},
        {"F10IsASystemKey",
         {Down(kF10, Qt::Key_F10, None, SysDown(0x79, 0x00440001)),
          Up(kF10, Qt::Key_F10, None, SysUp(0x79, 0xC0440001))}},
        {"ScrollLockIsNeverForwarded",
         {Down(kScroll, Qt::Key_ScrollLock, None, kNothing),
          Up(kScroll, Qt::Key_ScrollLock, None, kNothing),
          Down(kScroll, Qt::Key_ScrollLock, Shift, kNothing)}},
        {"MediaAndBrowserKeysHaveTheirCodes",
         {Down(kMute, Qt::Key_VolumeMute, None, KeyDown(0xAD, 0x01200001)),
          Up(kMute, Qt::Key_VolumeMute, None, KeyUp(0xAD, 0xC1200001)),
          Down(kVolumeUp, Qt::Key_VolumeUp, None, KeyDown(0xAF, 0x01300001)),
          Down(kPlayPause, Qt::Key_MediaPlay, None, KeyDown(0xB3, 0x01220001)),
          Down(kBrowserBack, Qt::Key_Back, None, KeyDown(0xA6, 0x016A0001)),
          Down(kBrowserHome, Qt::Key_HomePage, None, KeyDown(0xAC, 0x01320001))}},
        {"WithoutNativeCodesTheQtKeyDecides",
         {Down(0, Qt::Key_Home, Keypad, KeyDown(0x24, 0x00470001)),
          Down(0, Qt::Key_Home, None, KeyDown(0x24, 0x01470001)),
          Down(0, Qt::Key_MediaTogglePlayPause, None, KeyDown(0xB3, 0x01220001)),
          Down(0, Qt::Key_Shift, Shift, KeyDown(0x110, 0x002A0001)),
          Up(0, Qt::Key_Shift, None, KeyUp(0x10, 0xC02A0001))}},
        {"ShiftReleasedElsewhereIsNotRemembered",
         {Down(kLShift, Qt::Key_Shift, Shift, KeyDown(0x110, 0x002A0001)),
          // Its release went to another window.
          Down(kA, Qt::Key_A, None, KeyDown(0x41, 0x001E0001)),
          Down(kLCtrl, Qt::Key_Control, Ctrl, KeyDown(0x211, 0x001D0001))}},
    };
    return cases;
}

std::string Describe(const std::optional<KeyMessage>& m) {
    if (!m) return "nothing";
    char text[96];
    std::snprintf(text, sizeof text, "%s wParam=0x%X lParam=0x%08llX", MessageName(m->Msg),
                  m->WParam, static_cast<unsigned long long>(m->LParam));
    return text;
}

class KeyTable : public ::testing::TestWithParam<Case> {};

TEST_P(KeyTable, MessagesAsWindowsPostsThem) {
    KeyTranslator translator;
    const Case& c = GetParam();
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        KeyInput input;
        input.Press = s.press;
        input.AutoRepeat = s.repeat;
        input.NativeScanCode = s.native;
        input.QtKey = s.qtKey;
        input.Shift = (s.mods & Shift) != 0;
        input.Ctrl = (s.mods & Ctrl) != 0;
        input.Alt = (s.mods & Alt) != 0;
        input.Keypad = (s.mods & Keypad) != 0;
        EXPECT_EQ(Describe(translator.Translate(input)), Describe(s.expected)) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(KeyTranslator, KeyTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
