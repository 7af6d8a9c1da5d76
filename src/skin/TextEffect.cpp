#include "skin/TextEffect.h"

namespace {

// An edge copy is left out when it would look like the text itself.
void DrawEdge(QPainter& painter, QPoint at, const QColor& edge, const QColor& text,
              const TTextDrawer& draw) {
    if (edge.isValid() && edge != text) draw(painter, at, edge);
}

} // namespace

void Draw3DText(QPainter& painter, T3DEffect effect, QPoint at, const TTextColors& colors,
                const TTextDrawer& draw) {
    const QPoint up(-1, -1);
    const QPoint down(1, 1);
    switch (effect) {
    case ox3Normal:
    case ox3Flat:
        draw(painter, at, colors.text);
        return;
    case ox3Raised:
        DrawEdge(painter, at + up, colors.highlight, colors.text, draw);
        DrawEdge(painter, at + down, colors.shadow, colors.text, draw);
        draw(painter, at, colors.text);
        return;
    case ox3Inset:
        DrawEdge(painter, at + up, colors.shadow, colors.text, draw);
        DrawEdge(painter, at + down, colors.highlight, colors.text, draw);
        draw(painter, at, colors.text);
        return;
    case ox3Ridged:
        draw(painter, at + down, colors.shadow);
        draw(painter, at + up, colors.highlight);
        draw(painter, at, colors.windowText);
        return;
    case ox3Grooved:
        draw(painter, at + down, colors.highlight);
        draw(painter, at + up, colors.shadow);
        draw(painter, at, colors.windowText);
        return;
    case ox3Shadow:
        draw(painter, at + QPoint(2, 2), colors.shadow);
        draw(painter, at, colors.text);
        return;
    case ox3None:
    case ox3Disabled:
        return;
    }
}
