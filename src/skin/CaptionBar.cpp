#include "skin/CaptionBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "base/Colors.h"
#include "skin/Bevel.h"

TCaptionBar::TCaptionBar(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("CaptionBar"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCaptionBar::SetSkinnedWidth(int width) {
    if (width == skinnedWidth_) return;
    skinnedWidth_ = width;
    Invalidate();
}

void TCaptionBar::SetCloseButton(const QRect& rect) {
    closeRect_ = rect;
    update();
}

void TCaptionBar::Invalidate() {
    dirty_ = true;
    update();
}

const TCaptionRender& TCaptionBar::Rendered() {
    if (dirty_ && LookOf) {
        render_ = RenderCaption(LookOf(QSize(std::max(skinnedWidth_, 0), height())));
        dirty_ = false;
    }
    return render_;
}

void TCaptionBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor plain =
        PlatformCaptionColor ? PlatformCaptionColor() : palette().highlight().color();
    p.fillRect(rect(), plain);
    const TCaptionRender& caption = Rendered();
    if (!caption.image.isNull()) p.drawImage(0, 0, caption.image);
    PaintCloseButton(p);
}

void TCaptionBar::PaintCloseButton(QPainter& p) const {
    if (closeRect_.isEmpty()) return;
    const QRect r = closeRect_;
    const bool sunk = closePressed_ && closeDown_;
    p.fillRect(r, ToQColor(clBtnFace));
    // A raised (or, while held, sunken) two-pixel edge as on any push button.
    DrawBevelEdge(p, r, sunk ? cl3DDkShadow : cl3DLight, sunk ? cl3DLight : cl3DDkShadow);
    DrawBevelEdge(p, r.adjusted(1, 1, -1, -1), sunk ? clBtnShadow : clBtnHighlight,
                  sunk ? clBtnHighlight : clBtnShadow);
    // The cross, two pixels thick, centred in the face.
    const int size = std::max(std::min(r.width(), r.height()) - 8, 3);
    const QPoint c = r.center() + (sunk ? QPoint(1, 1) : QPoint(0, 0));
    const QRect g(c.x() - size / 2, c.y() - size / 2, size, size);
    p.setPen(QPen(ToQColor(clBtnText), 1.6));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawLine(g.topLeft(), g.bottomRight());
    p.drawLine(g.topRight(), g.bottomLeft());
    p.drawLine(g.topLeft() + QPoint(1, 0), g.bottomRight() + QPoint(1, 0));
    p.drawLine(g.topRight() + QPoint(1, 0), g.bottomLeft() + QPoint(1, 0));
}

void TCaptionBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (closeRect_.contains(pos)) {
        closePressed_ = closeDown_ = true;
        update(closeRect_);
        return;
    }
    // The window manager moves the window where it can; otherwise we do.
    QWindow* handle = window()->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - window()->pos();
}

void TCaptionBar::mouseMoveEvent(QMouseEvent* event) {
    if (closePressed_) {
        const bool down = closeRect_.contains(event->position().toPoint());
        if (down != closeDown_) {
            closeDown_ = down;
            update(closeRect_);
        }
        return;
    }
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - dragOffset_);
}

void TCaptionBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    if (!closePressed_) return;
    const bool inside = closeRect_.contains(event->position().toPoint());
    closePressed_ = closeDown_ = false;
    update(closeRect_);
    if (inside) window()->close();
}
