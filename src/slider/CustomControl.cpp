#include "slider/CustomControl.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "core/VirtualKeys.h"

TSkCustomControl::TSkCustomControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void TSkCustomControl::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0) Invalidate();
}

void TSkCustomControl::NotifyChange() {
    if (updateCount_ == 0) SettingsChanged();
}

void TSkCustomControl::Invalidate() {
    paintPending_ = true;
    if (!invalidateHeld_) update();
}

void TSkCustomControl::SetTabStop(bool v) {
    tabStop_ = v;
    setFocusPolicy(v ? Qt::TabFocus : Qt::NoFocus); // a press focuses the control itself
}

void TSkCustomControl::SetCursor(int index) {
    cursor_ = index;
    setCursor(CursorShapeOf(index));
}

void TSkCustomControl::ShowCanvasRegion(const QRegion& r) {
    if (r.isEmpty()) return;
    ownDirty_ += r;
    if (!inPaint_) update(r); // shown with the next paint event, merged with any other
}

void TSkCustomControl::PaintCanvas() {
    if (canvas_.size() != size()) canvas_ = QImage(size(), QImage::Format_RGB32);
    paintPending_ = false;
    inPaint_ = true;
    Paint();
    inPaint_ = false;
    ++fullPaints_;
}

bool TSkCustomControl::OnScreen() const {
    if (!isVisible()) return false;
    const QWindow* shownIn = window()->windowHandle();
    return shownIn != nullptr && shownIn->isExposed();
}

void TSkCustomControl::RedrawCanvas() {
    // Until the window is on the screen its first paint draws everything, so
    // nothing (a start, a layout loaded before the window shows) waits on
    // drawing that no one can see yet.
    if (!OnScreen()) {
        Invalidate();
        return;
    }
    PaintCanvas();
    ShowCanvasRegion(rect());
}

void TSkCustomControl::paintEvent(QPaintEvent* event) {
    const bool ownOnly =
        !paintPending_ && canvas_.size() == size() && (event->region() - ownDirty_).isEmpty();
    ownDirty_ = QRegion();
    if (!ownOnly) PaintCanvas();
    QPainter p(this);
    // Each part clipped to itself: with a clip of one rectangle Qt copies
    // the lines straight, where a clip of several fills span by span.
    for (const QRect& r : event->region()) {
        p.setClipRect(r);
        p.drawImage(r.topLeft(), canvas_, r);
    }
}

void TSkCustomControl::resizeEvent(QResizeEvent* event) {
    paintPending_ = true;
    QWidget::resizeEvent(event);
}

void TSkCustomControl::KeyDown(unsigned short& key, TShiftState shift) {
    emit keyDown(key, shift);
}

void TSkCustomControl::KeyUp(unsigned short& key, TShiftState shift) {
    emit keyUp(key, shift);
}

void TSkCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    emit mousePressed(button, shift, x, y);
}

void TSkCustomControl::MouseMove(TShiftState shift, int x, int y) {
    emit mouseMoved(shift, x, y);
}

void TSkCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    emit mouseReleased(button, shift, x, y);
}

void TSkCustomControl::keyPressEvent(QKeyEvent* event) {
    const unsigned short vk = VirtualKeyCodeOf(event->key());
    unsigned short key = vk;
    QPointer<TSkCustomControl> self(this);
    KeyDown(key, ShiftStateFrom(event->modifiers()));
    event->setAccepted(self && WantsKey(vk));
}

void TSkCustomControl::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) return; // a held key is released once, at the end
    unsigned short key = VirtualKeyCodeOf(event->key());
    KeyUp(key, ShiftStateFrom(event->modifiers()));
}

void TSkCustomControl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    MouseDown(MouseButtonFrom(event->button()),
              ShiftStateFrom(event->modifiers(), event->buttons()), pos.x(), pos.y());
}

void TSkCustomControl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    MouseMove(ShiftStateFrom(event->modifiers(), event->buttons()), pos.x(), pos.y());
}

void TSkCustomControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    QPointer<TSkCustomControl> self(this);
    if (event->button() == Qt::LeftButton && rect().contains(pos)) {
        emit clicked();
        if (!self) return;
    }
    MouseUp(MouseButtonFrom(event->button()), ShiftStateFrom(event->modifiers(), event->buttons()),
            pos.x(), pos.y());
    if (self && event->button() == Qt::RightButton && popupMenu_) popupMenu_->popup(global);
}

// The base handlers are skipped: they would repaint the whole control, and
// only the knob shows the focus.
void TSkCustomControl::focusInEvent(QFocusEvent*) {
    QPointer<TSkCustomControl> self(this);
    emit focusEntered();
    if (self) FocusChanged();
}

void TSkCustomControl::focusOutEvent(QFocusEvent*) {
    QPointer<TSkCustomControl> self(this);
    emit focusLeft();
    if (self) FocusChanged();
}

void TSkCustomControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        EnabledChanged(); // the knob shows it
    else
        QWidget::changeEvent(event);
}
