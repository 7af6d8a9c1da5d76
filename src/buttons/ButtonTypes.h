#pragma once
// Enumerations, option sets and small value types shared by the button face,
// its wrapper and the drawing code.

#include <cstdint>

#include "base/Cursors.h"

enum class ToxButtonType { oxbCommand, oxbToggle, oxbRepeat, oxbMenu, oxbCombo };

enum class ToxBtnStyle {
    bsAuto,
    bsWin31,
    bsWin95,
    bsInset,
    bsDelphi,
    bsSpeed,
    bsWin97,
    bsBorderless,
    bsShaped,
    bsWinXP
};

enum class ToxBackgroundStyle {
    oxbSolid,
    oxbClear,
    oxbPictureClip,
    oxbPictureStretch,
    oxbPicturePattern,
    oxbGradient,
    oxbVertGradient
};

enum class ToxBorderColors { oxbCustomColor, oxbWinColor, oxbAutoColor, oxbAutoShade };

// The 3-D effect of a caption.
enum class ToxFontStyle { fsNone, fsNormal, fsRaised, fsInset, fsRidged, fsGrooved, fsShadow };

enum class ToxBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose };

// Drawing state of a face.
enum class ToxPressState { Up, Pressed, Latched, ArrowPressed };

// FocusStyle set.
enum ToxFocusFlag : unsigned {
    fsDefault = 1u << 0,
    fsText = 1u << 1,
    fsOutline = 1u << 2,
    fsBoldFont = 1u << 3,
};
using ToxFocusStyle = unsigned;

// Options set.
enum ToxButtonOption : unsigned {
    oxbCacheImages = 1u << 0,
    oxbUsePalette = 1u << 1,
    oxbSmallIcons = 1u << 2,
    oxbNoPicEffects = 1u << 3,
};
using ToxButtonOptions = unsigned;

// Modal results a button hands to its form.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Margins between the control's edge and the drawn face.
struct ToxBorderInset {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool IsZero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
    friend bool operator==(const ToxBorderInset&, const ToxBorderInset&) = default;
};

// Timing of a repeat button, in milliseconds.
inline constexpr std::uint16_t kDefaultRepeatDelay = 200;
inline constexpr std::uint16_t kDefaultRepeatInitDelay = 400;

// Default bounds of a new face.
inline constexpr int kDefaultButtonSize = 25;
// Width of the arrow part of a combo button.
inline constexpr int kComboArrowWidth = 14;
// Number of appearance slots in the drawing cache.
inline constexpr int kAppearanceSlots = 7;
