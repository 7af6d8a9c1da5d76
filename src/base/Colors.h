#pragma once
// Painting the desk's colours: system colours resolved through a palette,
// and the way to and from Qt's colours.

#include <QColor>

#include "core/Color.h"

class QPalette;

// Resolves a system colour through the given palette (the application's by
// default) and returns the plain 0x00BBGGRR value; plain colours pass through.
// clNone and clDefault pass through unchanged: callers test for them.
TColor ColorToRGB(TColor color);
TColor ColorToRGB(TColor color, const QPalette& palette);

// The Qt colour to paint with; invalid (draws nothing) for clNone.
QColor ToQColor(TColor color);
QColor ToQColor(TColor color, const QPalette& palette);

// A Qt colour back to 0x00BBGGRR.
constexpr TColor FromQColorRgb(int r, int g, int b) {
    return RGB(r, g, b);
}
TColor FromQColor(const QColor& color);
