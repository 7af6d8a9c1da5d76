#include "bank/Fader.h"

#include <algorithm>

#include <QPainter>
#include <QPolygon>

#include "core/DmxConstants.h"

void TFader::SetTakeoverMarker(std::optional<int> level) {
    if (level) level = std::clamp(*level, 0, DMX_MAX_LEVEL);
    if (level == marker_) return;
    marker_ = level;
    update();
}

void TFader::paintEvent(QPaintEvent* event) {
    TSkVSlider::paintEvent(event);
    if (!marker_) return;
    const TSkRect& trench = TrenchRect();
    if (trench.IsEmpty()) return;
    // A small triangle pointing at the trench, at the physical fader's height.
    const int y = trench.Bottom - 1 - (*marker_ * (trench.Height() - 1)) / DMX_MAX_LEVEL;
    const int x = trench.Right + 1;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(255, 140, 0));
    painter.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 5, y - 4), QPoint(x + 5, y + 4)}));
}
