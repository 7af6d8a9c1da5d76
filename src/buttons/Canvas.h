#pragma once
// Pixel-exact drawing on a face's off-screen bitmap: fills and bevels that
// understand clNone and relative shades, dotted inverting rectangles and
// picture silhouettes.

#include <QImage>
#include <QPalette>
#include <QRect>

#include "base/Colors.h"

class ToxCanvas {
public:
    ToxCanvas(QImage& image, const QPalette& palette) : image_(image), palette_(palette) {}

    QImage& Image() { return image_; }
    const QPalette& Palette() const { return palette_; }

    // A plain 0x00BBGGRR for a system or plain colour (relative shades and
    // clNone are passed through for the caller to test).
    TColor Resolve(TColor c) const;

    // clNone draws nothing; a relative shade shades every pixel covered.
    void FillRect(const QRect& r, TColor c);

    // Rings of a 3-D frame; leaves r shrunk by width on every side.
    void Bevel(QRect& r, TColor topLeft, TColor bottomRight, int width);

    // Dotted rectangle that inverts every other pixel of its outline.
    void FocusRect(const QRect& r);

    // The mask's opaque pixels painted in c at (x, y).
    void Silhouette(const QImage& mask, int x, int y, TColor c);

private:
    void ShadeRect(const QRect& r, int amount);

    QImage& image_;
    QPalette palette_;
};

// A mask of the picture's non-transparent pixels (alpha 255 where opaque).
QImage PictureMask(const QImage& picture);

// A picture whose transparent colour (its bottom-left pixel, for pictures
// without an alpha channel) is cut out.
QImage WithTransparentColorCut(const QImage& picture);

// The picture with each pixel's red, green and blue replaced by their mean.
QImage GrayedPicture(const QImage& picture);
