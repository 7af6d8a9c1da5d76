#include "buttons/Border.h"

#include "buttons/Canvas.h"
#include "buttons/Shade.h"

ToxBevelColors BevelColorsFor(ToxBorderColors choice, TColor resolvedBackground) {
    ToxBevelColors c;
    switch (choice) {
    case ToxBorderColors::oxbAutoColor:
        c.Light = ShadeColor(resolvedBackground, 2);
        c.Highlight = ShadeColor(resolvedBackground, 4);
        c.Shadow = ShadeColor(resolvedBackground, -2);
        c.DkShadow = ShadeColor(resolvedBackground, -4);
        c.ShadowColor = c.DkShadow;
        break;
    case ToxBorderColors::oxbAutoShade:
        c.Light = RelativeShade(4);
        c.Highlight = RelativeShade(6);
        c.Shadow = RelativeShade(-4);
        c.DkShadow = RelativeShade(-6);
        c.ShadowColor = c.DkShadow;
        break;
    case ToxBorderColors::oxbWinColor:
    case ToxBorderColors::oxbCustomColor:
        break;
    }
    return c;
}

namespace {

void Win31(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    cv.Bevel(r, c.DkShadow, c.DkShadow, s.Framed ? 2 : 1);
    if (!s.Down()) {
        cv.Bevel(r, c.Highlight, c.Shadow, 2);
        return;
    }
    const int lines = s.Pressed ? 2 : 1;
    if (s.AutoShade) {
        for (int i = 0; i < lines; ++i)
            cv.Bevel(r, c.Shadow, clNone, 1);
        return;
    }
    cv.FillRect(QRect(r.left(), r.top(), r.width(), lines), c.Shadow);
    cv.FillRect(QRect(r.left(), r.top(), lines, r.height()), c.Shadow);
}

void Win95(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    if (s.Framed) cv.Bevel(r, c.DkShadow, c.DkShadow, 1);
    if (!s.Down()) {
        cv.Bevel(r, c.Highlight, c.DkShadow, 1);
        cv.Bevel(r, c.Light, c.Shadow, 1);
    } else if (s.Framed) {
        cv.Bevel(r, c.Shadow, c.Shadow, 1);
    } else {
        cv.Bevel(r, c.DkShadow, c.Highlight, 1);
        cv.Bevel(r, c.Shadow, c.Light, 1);
    }
}

void Inset(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    cv.Bevel(r, c.Shadow, c.Highlight, 1);
    cv.Bevel(r, c.DkShadow, c.DkShadow, 1);
    if (s.Down())
        cv.Bevel(r, c.Shadow, clNone, 1);
    else
        cv.Bevel(r, c.Highlight, s.Framed ? c.DkShadow : c.Shadow, 1);
}

void Delphi(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    if (s.Down()) {
        cv.Bevel(r, c.Shadow, c.Highlight, 1);
        cv.Bevel(r, c.DkShadow, c.Shadow, 1);
    } else {
        cv.Bevel(r, c.Shadow, c.DkShadow, 1);
        cv.Bevel(r, c.Highlight, s.Framed ? c.DkShadow : c.Shadow, 1);
    }
}

void Speed(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    if (s.Down()) {
        cv.Bevel(r, c.DkShadow, c.Highlight, 1);
        cv.Bevel(r, c.Shadow, c.Light, 1);
    } else {
        cv.Bevel(r, c.Highlight, c.DkShadow, 1);
        cv.Bevel(r, c.Light, c.Shadow, 1);
    }
}

void Win97(ToxCanvas& cv, QRect& r, const ToxBorderState& s, const ToxBevelColors& c) {
    if (s.Down()) {
        if (s.Framed) {
            cv.Bevel(r, c.DkShadow, c.DkShadow, 1);
            cv.Bevel(r, c.Shadow, c.Shadow, 1);
        } else {
            cv.Bevel(r, c.Shadow, c.Highlight, 1);
        }
        return;
    }
    if ((s.Framed || s.Hot) && s.Enabled) {
        if (s.Framed) cv.Bevel(r, c.DkShadow, c.DkShadow, 1);
        cv.Bevel(r, c.Highlight, c.Shadow, 1);
    } else if (s.Designing) {
        cv.Bevel(r, clGray, clGray, 1);
    }
}

} // namespace

void PaintBorder(ToxCanvas& canvas, QRect& r, ToxBtnStyle style, const ToxBorderState& state,
                 const ToxBevelColors& c) {
    switch (style) {
    case ToxBtnStyle::bsWin31:
        Win31(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsWin95:
    case ToxBtnStyle::bsAuto:
        Win95(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsInset:
        Inset(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsDelphi:
        Delphi(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsSpeed:
        Speed(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsWin97:
        Win97(canvas, r, state, c);
        break;
    case ToxBtnStyle::bsBorderless:
    case ToxBtnStyle::bsShaped:
    case ToxBtnStyle::bsWinXP:
        break;
    }
}

int FocusOutlineInset(ToxBtnStyle style, bool fsDefaultSet) {
    switch (style) {
    case ToxBtnStyle::bsWin31:
        return fsDefaultSet ? 5 : 4;
    case ToxBtnStyle::bsWin95:
    case ToxBtnStyle::bsWin97:
    case ToxBtnStyle::bsInset:
        return 4;
    case ToxBtnStyle::bsDelphi:
        return 3;
    default:
        return 0;
    }
}
