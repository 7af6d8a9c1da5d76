#include "core/VirtualKeys.h"

#include <array>

#include <Qt>

namespace {

struct KeyRow {
    std::uint16_t Evdev;
    std::uint8_t Vk;
    std::uint8_t Scan;
    bool Extended;
    int QtKey; // the key Qt reports without modifiers (0: none of its own)
};

// Evdev codes are the set-1 scan codes for the main block; the extended keys
// share scan codes with the keypad and carry the extended flag instead.
constexpr KeyRow kKeys[] = {
    {1, 0x1B, 0x01, false, Qt::Key_Escape},
    {2, '1', 0x02, false, Qt::Key_1},
    {3, '2', 0x03, false, Qt::Key_2},
    {4, '3', 0x04, false, Qt::Key_3},
    {5, '4', 0x05, false, Qt::Key_4},
    {6, '5', 0x06, false, Qt::Key_5},
    {7, '6', 0x07, false, Qt::Key_6},
    {8, '7', 0x08, false, Qt::Key_7},
    {9, '8', 0x09, false, Qt::Key_8},
    {10, '9', 0x0A, false, Qt::Key_9},
    {11, '0', 0x0B, false, Qt::Key_0},
    {12, 0xBD, 0x0C, false, Qt::Key_Minus},
    {13, 0xBB, 0x0D, false, Qt::Key_Equal},
    {14, 0x08, 0x0E, false, Qt::Key_Backspace},
    {15, 0x09, 0x0F, false, Qt::Key_Tab},
    {16, 'Q', 0x10, false, Qt::Key_Q},
    {17, 'W', 0x11, false, Qt::Key_W},
    {18, 'E', 0x12, false, Qt::Key_E},
    {19, 'R', 0x13, false, Qt::Key_R},
    {20, 'T', 0x14, false, Qt::Key_T},
    {21, 'Y', 0x15, false, Qt::Key_Y},
    {22, 'U', 0x16, false, Qt::Key_U},
    {23, 'I', 0x17, false, Qt::Key_I},
    {24, 'O', 0x18, false, Qt::Key_O},
    {25, 'P', 0x19, false, Qt::Key_P},
    {26, 0xDB, 0x1A, false, Qt::Key_BracketLeft},
    {27, 0xDD, 0x1B, false, Qt::Key_BracketRight},
    {28, 0x0D, 0x1C, false, Qt::Key_Return},
    {29, 0x11, 0x1D, false, Qt::Key_Control},
    {30, 'A', 0x1E, false, Qt::Key_A},
    {31, 'S', 0x1F, false, Qt::Key_S},
    {32, 'D', 0x20, false, Qt::Key_D},
    {33, 'F', 0x21, false, Qt::Key_F},
    {34, 'G', 0x22, false, Qt::Key_G},
    {35, 'H', 0x23, false, Qt::Key_H},
    {36, 'J', 0x24, false, Qt::Key_J},
    {37, 'K', 0x25, false, Qt::Key_K},
    {38, 'L', 0x26, false, Qt::Key_L},
    {39, 0xBA, 0x27, false, Qt::Key_Semicolon},
    {40, 0xDE, 0x28, false, Qt::Key_Apostrophe},
    {41, 0xC0, 0x29, false, Qt::Key_QuoteLeft},
    {42, 0x10, 0x2A, false, Qt::Key_Shift},
    {43, 0xDC, 0x2B, false, Qt::Key_Backslash},
    {44, 'Z', 0x2C, false, Qt::Key_Z},
    {45, 'X', 0x2D, false, Qt::Key_X},
    {46, 'C', 0x2E, false, Qt::Key_C},
    {47, 'V', 0x2F, false, Qt::Key_V},
    {48, 'B', 0x30, false, Qt::Key_B},
    {49, 'N', 0x31, false, Qt::Key_N},
    {50, 'M', 0x32, false, Qt::Key_M},
    {51, 0xBC, 0x33, false, Qt::Key_Comma},
    {52, 0xBE, 0x34, false, Qt::Key_Period},
    {53, 0xBF, 0x35, false, Qt::Key_Slash},
    {54, 0x10, 0x36, false, 0}, // right Shift
    {55, 0x6A, 0x37, false, 0}, // keypad *
    {56, 0x12, 0x38, false, Qt::Key_Alt},
    {57, 0x20, 0x39, false, Qt::Key_Space},
    {58, 0x14, 0x3A, false, Qt::Key_CapsLock},
    {59, 0x70, 0x3B, false, Qt::Key_F1},
    {60, 0x71, 0x3C, false, Qt::Key_F2},
    {61, 0x72, 0x3D, false, Qt::Key_F3},
    {62, 0x73, 0x3E, false, Qt::Key_F4},
    {63, 0x74, 0x3F, false, Qt::Key_F5},
    {64, 0x75, 0x40, false, Qt::Key_F6},
    {65, 0x76, 0x41, false, Qt::Key_F7},
    {66, 0x77, 0x42, false, Qt::Key_F8},
    {67, 0x78, 0x43, false, Qt::Key_F9},
    {68, 0x79, 0x44, false, Qt::Key_F10},
    {69, 0x90, 0x45, true, Qt::Key_NumLock},
    {70, 0x91, 0x46, false, Qt::Key_ScrollLock},
    {71, 0x67, 0x47, false, 0},
    {72, 0x68, 0x48, false, 0},
    {73, 0x69, 0x49, false, 0},
    {74, 0x6D, 0x4A, false, 0},
    {75, 0x64, 0x4B, false, 0},
    {76, 0x65, 0x4C, false, 0},
    {77, 0x66, 0x4D, false, 0},
    {78, 0x6B, 0x4E, false, 0},
    {79, 0x61, 0x4F, false, 0},
    {80, 0x62, 0x50, false, 0},
    {81, 0x63, 0x51, false, 0},
    {82, 0x60, 0x52, false, 0},
    {83, 0x6E, 0x53, false, 0},
    {86, 0xE2, 0x56, false, Qt::Key_Less},
    {87, 0x7A, 0x57, false, Qt::Key_F11},
    {88, 0x7B, 0x58, false, Qt::Key_F12},
    {96, 0x0D, 0x1C, true, Qt::Key_Enter},
    {97, 0x11, 0x1D, true, 0},
    {98, 0x6F, 0x35, true, 0},
    {99, 0x2C, 0x37, true, Qt::Key_Print},
    {100, 0x12, 0x38, true, Qt::Key_AltGr},
    {102, 0x24, 0x47, true, Qt::Key_Home},
    {103, 0x26, 0x48, true, Qt::Key_Up},
    {104, 0x21, 0x49, true, Qt::Key_PageUp},
    {105, 0x25, 0x4B, true, Qt::Key_Left},
    {106, 0x27, 0x4D, true, Qt::Key_Right},
    {107, 0x23, 0x4F, true, Qt::Key_End},
    {108, 0x28, 0x50, true, Qt::Key_Down},
    {109, 0x22, 0x51, true, Qt::Key_PageDown},
    {110, 0x2D, 0x52, true, Qt::Key_Insert},
    {111, 0x2E, 0x53, true, Qt::Key_Delete},
    {119, 0x13, 0x45, false, Qt::Key_Pause},
    {125, 0x5B, 0x5B, true, Qt::Key_Meta},
    {126, 0x5C, 0x5C, true, 0},
    {127, 0x5D, 0x5D, true, Qt::Key_Menu},
    // Media and browser keys: E0-prefixed on a Windows keyboard.
    {113, 0xAD, 0x20, true, Qt::Key_VolumeMute},
    {114, 0xAE, 0x2E, true, Qt::Key_VolumeDown},
    {115, 0xAF, 0x30, true, Qt::Key_VolumeUp},
    {128, 0xA9, 0x68, true, Qt::Key_Stop},
    {140, 0xB7, 0x21, true, Qt::Key_Calculator},
    {155, 0xB4, 0x6C, true, Qt::Key_LaunchMail},
    {156, 0xAB, 0x66, true, Qt::Key_Favorites},
    {157, 0xB6, 0x6B, true, Qt::Key_Launch0},
    {158, 0xA6, 0x6A, true, Qt::Key_Back},
    {159, 0xA7, 0x69, true, Qt::Key_Forward},
    {163, 0xB0, 0x19, true, Qt::Key_MediaNext},
    {164, 0xB3, 0x22, true, Qt::Key_MediaPlay},
    {165, 0xB1, 0x10, true, Qt::Key_MediaPrevious},
    {166, 0xB2, 0x24, true, Qt::Key_MediaStop},
    {172, 0xAC, 0x32, true, Qt::Key_HomePage},
    {173, 0xA8, 0x67, true, Qt::Key_Refresh},
    {217, 0xAA, 0x65, true, Qt::Key_Search},
    {226, 0xB5, 0x6D, true, Qt::Key_LaunchMedia},
};

// Qt names for keys the table above knows under another.
struct AliasRow {
    int QtKey;
    int Same;
};
constexpr AliasRow kAliases[] = {
    {Qt::Key_MediaTogglePlayPause, Qt::Key_MediaPlay},
    {Qt::Key_MediaPause, Qt::Key_MediaPlay},
};

// What the keypad's digit keys are with Num Lock off: the navigation keys,
// keeping the keypad's scan code and without the extended flag.
struct KeypadNavRow {
    std::uint8_t Scan;
    std::uint8_t Vk;
    int QtKey;
};
constexpr KeypadNavRow kKeypadNav[] = {
    {0x47, 0x24, Qt::Key_Home},   {0x48, 0x26, Qt::Key_Up},     {0x49, 0x21, Qt::Key_PageUp},
    {0x4B, 0x25, Qt::Key_Left},   {0x4C, 0x0C, Qt::Key_Clear},  {0x4D, 0x27, Qt::Key_Right},
    {0x4F, 0x23, Qt::Key_End},    {0x50, 0x28, Qt::Key_Down},   {0x51, 0x22, Qt::Key_PageDown},
    {0x52, 0x2D, Qt::Key_Insert}, {0x53, 0x2E, Qt::Key_Delete},
};

// Keypad keys by what Qt reports for them (digits with Num Lock on).
struct KeypadRow {
    int QtKey;
    std::uint16_t Evdev;
};
constexpr KeypadRow kKeypad[] = {
    {Qt::Key_0, 82},
    {Qt::Key_1, 79},
    {Qt::Key_2, 80},
    {Qt::Key_3, 81},
    {Qt::Key_4, 75},
    {Qt::Key_5, 76},
    {Qt::Key_6, 77},
    {Qt::Key_7, 71},
    {Qt::Key_8, 72},
    {Qt::Key_9, 73},
    {Qt::Key_Asterisk, 55},
    {Qt::Key_Plus, 78},
    {Qt::Key_Minus, 74},
    {Qt::Key_Period, 83},
    {Qt::Key_Comma, 83},
    {Qt::Key_Slash, 98},
    {Qt::Key_Enter, 96},
    // With Num Lock off.
    {Qt::Key_Home, 71},
    {Qt::Key_Up, 72},
    {Qt::Key_PageUp, 73},
    {Qt::Key_Left, 75},
    {Qt::Key_Clear, 76},
    {Qt::Key_Right, 77},
    {Qt::Key_End, 79},
    {Qt::Key_Down, 80},
    {Qt::Key_PageDown, 81},
    {Qt::Key_Insert, 82},
    {Qt::Key_Delete, 83},
};

// Shifted symbols of a US layout, for platforms that report only Qt keys.
struct ShiftedRow {
    int QtKey;
    int Unshifted;
};
constexpr ShiftedRow kShifted[] = {
    {Qt::Key_Exclam, Qt::Key_1},
    {Qt::Key_At, Qt::Key_2},
    {Qt::Key_NumberSign, Qt::Key_3},
    {Qt::Key_Dollar, Qt::Key_4},
    {Qt::Key_Percent, Qt::Key_5},
    {Qt::Key_AsciiCircum, Qt::Key_6},
    {Qt::Key_Ampersand, Qt::Key_7},
    {Qt::Key_Asterisk, Qt::Key_8},
    {Qt::Key_ParenLeft, Qt::Key_9},
    {Qt::Key_ParenRight, Qt::Key_0},
    {Qt::Key_Underscore, Qt::Key_Minus},
    {Qt::Key_Plus, Qt::Key_Equal},
    {Qt::Key_BraceLeft, Qt::Key_BracketLeft},
    {Qt::Key_BraceRight, Qt::Key_BracketRight},
    {Qt::Key_Colon, Qt::Key_Semicolon},
    {Qt::Key_QuoteDbl, Qt::Key_Apostrophe},
    {Qt::Key_AsciiTilde, Qt::Key_QuoteLeft},
    {Qt::Key_Bar, Qt::Key_Backslash},
    {Qt::Key_Less, Qt::Key_Comma},
    {Qt::Key_Greater, Qt::Key_Period},
    {Qt::Key_Question, Qt::Key_Slash},
    {Qt::Key_Backtab, Qt::Key_Tab},
};

constexpr std::uint32_t kX11KeycodeOffset = 8;

std::optional<VirtualKey> FromEvdev(std::uint32_t evdev) {
    for (const KeyRow& row : kKeys)
        if (row.Evdev == evdev) return VirtualKey{row.Vk, row.Scan, row.Extended};
    return std::nullopt;
}

} // namespace

std::optional<VirtualKey> VirtualKeyFromNative(std::uint32_t nativeScanCode) {
    if (nativeScanCode < kX11KeycodeOffset) return std::nullopt;
    return FromEvdev(nativeScanCode - kX11KeycodeOffset);
}

std::optional<VirtualKey> VirtualKeyFromQt(int qtKey, bool keypad) {
    if (keypad)
        for (const KeypadRow& row : kKeypad)
            if (row.QtKey == qtKey) return FromEvdev(row.Evdev);
    for (const ShiftedRow& row : kShifted)
        if (row.QtKey == qtKey) {
            qtKey = row.Unshifted;
            break;
        }
    for (const AliasRow& row : kAliases)
        if (row.QtKey == qtKey) {
            qtKey = row.Same;
            break;
        }
    for (const KeyRow& row : kKeys)
        if (row.QtKey != 0 && row.QtKey == qtKey) return VirtualKey{row.Vk, row.Scan, row.Extended};
    return std::nullopt;
}

unsigned short VirtualKeyCodeOf(int qtKey) {
    if (const auto key = VirtualKeyFromQt(qtKey)) return static_cast<unsigned short>(key->Code);
    if (qtKey >= Qt::Key_F13 && qtKey <= Qt::Key_F24)
        return static_cast<unsigned short>(0x7C + (qtKey - Qt::Key_F13));
    return 0;
}

std::optional<VirtualKey> KeypadNavigation(const VirtualKey& key) {
    const bool digitOrDecimal = (key.Code >= 0x60 && key.Code <= 0x69) || key.Code == 0x6E;
    if (!digitOrDecimal || key.Extended) return std::nullopt;
    for (const KeypadNavRow& row : kKeypadNav)
        if (row.Scan == key.ScanCode) return VirtualKey{row.Vk, row.Scan, false};
    return std::nullopt;
}

bool IsKeypadNavigationQtKey(int qtKey) {
    for (const KeypadNavRow& row : kKeypadNav)
        if (row.QtKey == qtKey) return true;
    return false;
}
