#include "skin/Bevel.h"

#include <QPainter>

void DrawBevelEdge(QPainter& painter, const QRect& r, TColor topLeft, TColor bottomRight) {
    painter.setPen(ToQColor(topLeft));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(ToQColor(bottomRight));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}
