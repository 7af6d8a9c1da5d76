#include "base/WindowPlace.h"

#include <QWidget>
#include <QWindow>

TWindowPlace::TWindowPlace(QWidget* window) : window_(window) {}

int TWindowPlace::Top() const {
    return window_ ? window_->frameGeometry().top() : 0;
}

int TWindowPlace::Left() const {
    return window_ ? window_->frameGeometry().left() : 0;
}

void TWindowPlace::SetTop(int top) {
    MoveFrameTo(QPoint(Requested().x(), top));
}

void TWindowPlace::SetLeft(int left) {
    MoveFrameTo(QPoint(left, Requested().y()));
}

// The last corner asked for while the window has not got there yet, so the
// second coordinate does not undo the first.
QPoint TWindowPlace::Requested() const {
    const QPoint now = window_ ? window_->frameGeometry().topLeft() : QPoint();
    return requested_.value_or(now);
}

void TWindowPlace::MoveFrameTo(QPoint corner) {
    if (!window_) return;
    requested_ = corner;
    QWindow* handle = window_->windowHandle();
    if (handle == nullptr || !window_->isVisible()) {
        // Not mapped yet: the widget keeps the corner as a frame position itself.
        window_->move(corner);
        return;
    }
    // The frame may not be known yet (the window manager reparents a new
    // window a moment after it is shown), so moving the client by the known
    // frame offset would land it off by the frame. Asking for the frame
    // position lets the window manager do the arithmetic.
    handle->setFramePosition(corner);
}
