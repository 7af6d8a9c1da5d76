#include "GalleryPictures.h"

#include <QPainter>
#include <QPainterPath>

QImage GalleryPicture(GalleryGlyph glyph, int size, QRgb ink) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    QPainter p(&image);
    p.setPen(QPen(QColor(ink), size / 8.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(ink));
    const double s = size, m = s / 5;
    switch (glyph) {
    case GalleryGlyph::Back: {
        const QPointF tri[3] = {{m, s / 2}, {s - m, m}, {s - m, s - m}};
        p.drawPolygon(tri, 3);
        break;
    }
    case GalleryGlyph::Next: {
        const QPointF tri[3] = {{s - m, s / 2}, {m, m}, {m, s - m}};
        p.drawPolygon(tri, 3);
        break;
    }
    case GalleryGlyph::Cancel:
        p.drawLine(QPointF(m, m), QPointF(s - m, s - m));
        p.drawLine(QPointF(s - m, m), QPointF(m, s - m));
        break;
    case GalleryGlyph::Ok: {
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(m, s / 2);
        tick.lineTo(s / 2.5, s - m);
        tick.lineTo(s - m, m);
        p.drawPath(tick);
        break;
    }
    case GalleryGlyph::Close:
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(m, m / 2, s - 2 * m, s - m));
        p.drawPoint(QPointF(s - 1.8 * m, s / 2));
        break;
    }
    return image;
}
