#pragma once
// Three-dimensional text effects: the text drawn once more in a highlight
// and a shadow colour, offset by a pixel or two, before the text itself.

#include <functional>

#include <QColor>
#include <QPoint>

class QPainter;

enum T3DEffect {
    ox3Normal,
    ox3Flat,
    ox3Raised,
    ox3Inset,
    ox3Ridged,
    ox3Grooved,
    ox3Shadow,
    ox3None,
    ox3Disabled
};

// Draws the text with its top-left corner at `at` in the given colour.
using TTextDrawer = std::function<void(QPainter& painter, QPoint at, const QColor& color)>;

struct TTextColors {
    QColor text;
    QColor highlight;
    QColor shadow;
    QColor windowText; // the text of the ridged and grooved effects
};

// Draws one text with the effect; ox3None and ox3Disabled draw nothing.
void Draw3DText(QPainter& painter, T3DEffect effect, QPoint at, const TTextColors& colors,
                const TTextDrawer& draw);
