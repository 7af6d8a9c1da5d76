#pragma once
// The slider library's drawing routines on a QPainter: fills and frames as
// the platform's 3-D controls draw them, gradient faces, the knob, aligned
// text, bevels and tick scales. Rectangles have exclusive right and bottom
// edges; colours go through the system-colour resolver, and clNone draws
// nothing.

#include <vector>

#include <QString>

#include "base/Colors.h"
#include "slider/Rect.h"
#include "slider/VSliderSettings.h"

class QPainter;

// Fills the rectangle with a colour (pen and brush of the same colour).
void FillRectColor(QPainter& p, const TSkRect& r, TColor color);
// A one-pixel outline just inside the rectangle.
void FrameRectColor(QPainter& p, const TSkRect& r, TColor color);
// A one-pixel 3-D frame: top and left in one colour, bottom and right in the
// other; the rectangle then moves in by 1.
void Frame3D(QPainter& p, TSkRect& r, TColor topLeft, TColor bottomRight);

void FillGradient(QPainter& p, const TSkRect& r, TColor from, TColor to, TGradientStyle style);

// The knob, centred on (cx, cy), `size` across the trench.
void DrawKnob(QPainter& p, int cx, int cy, int size, TColor color);
// The knob's outer rectangle (53 × 23 for a size of 53).
TSkRect KnobRect(int cx, int cy, int size);

// Draws text in the painter's font and pen with its top-left corner moved
// from (x, y) by the alignment (0..8, see the table in SkDraw.cpp).
// Text measures, kept per font and text: every fader of a desk measures the
// same labels and read-out sample in the same fonts. Not kept, they are
// measured afresh (what a drawing with nothing kept compares against).
int TextAdvance(const QFont& font, const QString& text, bool kept = true);
int TextHeight(const QFont& font, bool kept = true);

void AlignedTextOut(QPainter& p, int x, int y, int alignment, const QString& text);

void DrawBevelFrame(const TSkSBevel& bevel, QPainter& p, TSkRect& r);
// Paints the bevel into r and returns the content rectangle in r.
void DrawBevel(const TSkSBevel& bevel, QPainter& p, TSkRect& r);
// The content rectangle DrawBevel leaves, without painting.
TSkRect BevelContentRect(const TSkSBevel& bevel, const TSkRect& r);

// Scale metrics from the label size.
struct TScaleMetrics {
    int LineWidth, LongTick, ShortTick, LabelGap, ScaleWidth, ScaleLength;
};
TScaleMetrics ScaleMetricsFor(int labelHeight, int labelWidth, int steps, bool vertical);

// Label texts, each followed by ";": top label first when vertical.
QString ScaleLabels(const TScaleSettings& scale, double valueFrom, double valueTo, bool vertical);

void MeasureScaleVertical(TScaleSettings& scale, double valueFrom, double valueTo,
                          bool keptMeasures = true);
void MeasureScaleHorizontal(TScaleSettings& scale, double valueFrom, double valueTo,
                            bool keptMeasures = true);

// Tick rows of a scale between top and bottom.
struct TScaleTicks {
    std::vector<int> Major; // Steps + 1 rows, top first
    std::vector<int> Minor; // Steps × SubSteps rows (one on each major but the last)
};
TScaleTicks ScaleTickRows(int top, int bottom, int steps, int subSteps);

// Paints one scale along the right edge of r (PosLeftTop) or its left edge.
void DrawScale(TScaleSettings& scale, QPainter& p, const TSkRect& r);
