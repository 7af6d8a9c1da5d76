#pragma once
// Colour and gradient arithmetic of the slider library, free of painting so
// that it can be checked number by number.

#include <vector>

#include "base/Colors.h"
#include "slider/Rect.h"

// A colour between two, step `index` of `count` (a count of 0 counts as 1).
// Equal colours (after resolving system colours) return `from` unchanged.
TColor BlendColor(TColor from, TColor to, int count, int index);

// The number of gradient steps between two plain colours: the largest
// channel difference, at least 1.
int GradientSteps(TColor fromRgb, TColor toRgb);

// One shape of a gradient, drawn in order over the previous ones.
struct TGradientShape {
    TSkRect Bounds;
    TColor Color;
};

// The centred ellipses of the elliptic face, outermost first; the picture is
// first filled with `to`. Takes plain colours.
std::vector<TGradientShape> EllipticShapes(int width, int height, TColor fromRgb, TColor toRgb);

// The bands of the top-to-bottom face, top first. Takes plain colours.
std::vector<TGradientShape> HorizontalBands(int width, int height, TColor fromRgb, TColor toRgb);
