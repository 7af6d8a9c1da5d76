#pragma once
// The border of each face style, drawn as rings of bevels.

#include <QRect>

#include "base/Colors.h"
#include "buttons/ButtonTypes.h"

class ToxCanvas;

struct ToxBevelColors {
    TColor Light = cl3DLight;
    TColor Highlight = clBtnHighlight;
    TColor Shadow = clBtnShadow;
    TColor DkShadow = cl3DDkShadow;
    TColor ShadowColor = clBtnShadow; // picture shadow
    friend bool operator==(const ToxBevelColors&, const ToxBevelColors&) = default;
};

// The bevel colours a BorderColors choice gives; resolvedBackground is the
// plain colour the face's background is filled with.
ToxBevelColors BevelColorsFor(ToxBorderColors choice, TColor resolvedBackground);

struct ToxBorderState {
    bool Pressed = false; // a tracked press is inside
    bool Value = false;   // latched
    bool Framed = false;  // (focused or default) and fsDefault
    bool Hot = false;
    bool Enabled = true;
    bool Designing = false;
    bool AutoShade = false; // BorderColors is oxbAutoShade
    bool Down() const { return Pressed || Value; }
};

// Draws the style's border in r (shrinking r to the inside of the border).
void PaintBorder(ToxCanvas& canvas, QRect& r, ToxBtnStyle style, const ToxBorderState& state,
                 const ToxBevelColors& c);

// Inset of the focus rectangle drawn around the client area.
int FocusOutlineInset(ToxBtnStyle style, bool fsDefaultSet);
