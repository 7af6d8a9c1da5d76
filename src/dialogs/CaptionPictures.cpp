#include "dialogs/CaptionPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

constexpr int kSize = 24;

void DrawArrow(QPainter& p, bool pointsLeft) {
    // A triangle head and a short stem, pointing along x.
    QPolygonF arrow{{4, 12}, {12, 4}, {12, 9}, {20, 9}, {20, 15}, {12, 15}, {12, 20}};
    if (!pointsLeft)
        for (QPointF& pt : arrow)
            pt.setX(kSize - pt.x());
    p.setPen(QPen(QColor(0, 0, 96), 1));
    p.setBrush(QColor(32, 64, 192));
    p.drawPolygon(arrow);
}

void DrawCross(QPainter& p) {
    p.setPen(QPen(QColor(192, 0, 0), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void DrawTick(QPainter& p) {
    QPainterPath tick;
    tick.moveTo(5, 13);
    tick.lineTo(10, 18);
    tick.lineTo(19, 6);
    p.setPen(QPen(QColor(0, 128, 0), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

} // namespace

QImage CaptionPicture(TCaptionPicture kind, bool down) {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (down) p.translate(1, 1);
    switch (kind) {
    case TCaptionPicture::Back:
        DrawArrow(p, true);
        break;
    case TCaptionPicture::Next:
        DrawArrow(p, false);
        break;
    case TCaptionPicture::Cancel:
        DrawCross(p);
        break;
    case TCaptionPicture::OK:
        DrawTick(p);
        break;
    }
    return image;
}
