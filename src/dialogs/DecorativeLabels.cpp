#include "dialogs/DecorativeLabels.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "base/Colors.h"

ToxLabel::ToxLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ToxLabel::SetFont3D(T3DEffect effect) {
    font3D_ = effect;
    updateGeometry();
    update();
}

QSize ToxLabel::sizeHint() const {
    // Room for the edge copies around the text.
    return QLabel::sizeHint() + QSize(2, 2);
}

void ToxLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    TTextColors colors;
    colors.text = palette().color(QPalette::WindowText);
    colors.highlight = ToQColor(clBtnHighlight);
    colors.shadow = ToQColor(clBtnShadow);
    colors.windowText = ToQColor(clWindowText);
    const int ascent = fontMetrics().ascent();
    Draw3DText(p, font3D_, QPoint(1, 1), colors,
               [this, ascent](QPainter& painter, QPoint at, const QColor& color) {
                   painter.setPen(color);
                   painter.drawText(at.x(), at.y() + ascent, text());
               });
}

ToxLinkLabel::ToxLinkLabel(const QString& text, TLinkKind kind, QWidget* parent)
    : QLabel(text, parent), kind_(kind) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    // One colour whatever the pointer does: no hover or visited look.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(clHighlight));
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
}

void ToxLinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ToxLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) QDesktopServices::openUrl(QUrl(Address(), QUrl::TolerantMode));
}
