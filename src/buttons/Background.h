#pragma once
// The fill of a button face: solid, clear, picture, gradient, plus the
// checker dither of a latched toggle.

#include <functional>
#include <memory>

#include <QImage>

#include "base/Colors.h"
#include "buttons/ButtonTypes.h"
#include "buttons/Gradient.h"

class ToxCanvas;

class ToxBackground {
public:
    ToxBackground();

    ToxBackgroundStyle Style() const { return style_; }
    void SetStyle(ToxBackgroundStyle s);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TColor Gradient() const { return gradientEnd_; }
    void SetGradient(TColor c);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    bool DitherDown() const { return ditherDown_; }
    void SetDitherDown(bool d);

    TGradient& GradientTable() { return gradient_; }

    // Raised after any change; the face redraws.
    std::function<void()> OnChange;
    // Raised after a change of Color only (before OnChange).
    std::function<void(TColor)> OnColorChange;

private:
    void Changed();

    ToxBackgroundStyle style_ = ToxBackgroundStyle::oxbSolid;
    TColor color_ = clBtnFace;
    TColor gradientEnd_ = clWhite;
    QImage picture_;
    bool ditherDown_ = true;
    TGradient gradient_;
};

// The shared 8 x 8 checker: white where x and y have the same parity, the
// rest transparent. Alive while some face holds it.
std::shared_ptr<const QImage> DitherPattern();

// Paints the background of style/picture into r; resolvedColor is the
// plain colour it fills with and starts gradients from.
void PaintBackground(ToxCanvas& canvas, const QRect& r, ToxBackground& background,
                     TColor resolvedColor);

// The checker overlay over r.
void PaintDither(ToxCanvas& canvas, const QRect& r, const QImage& pattern);
