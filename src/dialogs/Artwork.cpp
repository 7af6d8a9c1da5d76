#include "dialogs/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kArtWidth = 120;
constexpr int kArtHeight = 100;
constexpr int kFaderCount = 4;
constexpr int kGlyphSize = 18;

void DrawFader(QPainter& p, int x, int knobY, const QColor& bump) {
    // Trench, knob with a grip line, and the bump button under it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24));
    p.drawRoundedRect(QRectF(x + 9, 14, 4, 56), 2, 2);
    QLinearGradient knob(x, knobY, x, knobY + 12);
    knob.setColorAt(0, QColor(235, 235, 240));
    knob.setColorAt(1, QColor(150, 150, 160));
    p.setBrush(knob);
    p.drawRoundedRect(QRectF(x + 2, knobY, 18, 12), 2, 2);
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.drawLine(QPointF(x + 4, knobY + 6), QPointF(x + 18, knobY + 6));
    p.setPen(Qt::NoPen);
    p.setBrush(bump);
    p.drawRoundedRect(QRectF(x + 3, 78, 16, 10), 2, 2);
}

} // namespace

QImage DeskArtwork() {
    QImage image(kArtWidth, kArtHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, kArtHeight);
    body.setColorAt(0, QColor(74, 84, 104));
    body.setColorAt(1, QColor(34, 38, 50));
    p.setPen(QPen(QColor(16, 18, 24), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2, 2, kArtWidth - 4, kArtHeight - 4), 8, 8);
    static constexpr int kKnobs[kFaderCount] = {20, 44, 30, 56};
    static const QColor kBumps[kFaderCount] = {QColor(255, 210, 0), QColor(150, 150, 150),
                                               QColor(255, 128, 0), QColor(150, 150, 150)};
    for (int i = 0; i < kFaderCount; ++i)
        DrawFader(p, 12 + i * 25, kKnobs[i], kBumps[i]);
    return image;
}

QImage CloseGlyph() {
    QImage image(kGlyphSize, kGlyphSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(210, 40, 40));
    p.drawEllipse(QRectF(1, 1, kGlyphSize - 2, kGlyphSize - 2));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(12, 12));
    p.drawLine(QPointF(12, 6), QPointF(6, 12));
    return image;
}
