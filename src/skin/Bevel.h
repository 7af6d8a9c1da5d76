#pragma once
// One-pixel 3-D edges: the frames, buttons and panels of the classic look.

#include <QRect>

#include "base/Colors.h"

class QPainter;

// Draws the rectangle's outline: top and left edges in one colour, bottom
// and right in the other.
void DrawBevelEdge(QPainter& painter, const QRect& r, TColor topLeft, TColor bottomRight);
