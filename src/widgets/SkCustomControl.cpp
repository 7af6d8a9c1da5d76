#include "widgets/SkCustomControl.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

unsigned short VirtualKeyFromQt(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<unsigned short>(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<unsigned short>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<unsigned short>(0x70 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return 0;
    }
}

namespace {

Qt::CursorShape CursorShapeFor(int index) {
    switch (index) {
    case crSkHand:
    case crHandPoint:
        return Qt::PointingHandCursor;
    case -3:
        return Qt::CrossCursor;
    case -4:
        return Qt::IBeamCursor;
    case -7:
        return Qt::SizeVerCursor;
    case -9:
        return Qt::SizeHorCursor;
    case -11:
        return Qt::WaitCursor;
    default:
        return Qt::ArrowCursor; // unregistered indices show the arrow
    }
}

} // namespace

TSkCustomControl::TSkCustomControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void TSkCustomControl::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0) Invalidate();
}

void TSkCustomControl::NotifyChange() {
    if (FUpdateCount == 0) SettingsChanged();
}

void TSkCustomControl::Invalidate() {
    FPaintPending = true;
    update();
}

void TSkCustomControl::SetTabStop(bool v) {
    FTabStop = v;
    setFocusPolicy(v ? Qt::TabFocus : Qt::NoFocus); // a press focuses the control itself
}

void TSkCustomControl::SetCursor(int index) {
    FCursor = index;
    setCursor(CursorShapeFor(index));
}

void TSkCustomControl::ShowCanvasRegion(const QRegion& r) {
    if (r.isEmpty()) return;
    FOwnDirty += r;
    if (!FInPaint) update(r); // shown with the next paint event, merged with any other
}

void TSkCustomControl::paintEvent(QPaintEvent* event) {
    const bool ownOnly =
        !FPaintPending && FCanvas.size() == size() && (event->region() - FOwnDirty).isEmpty();
    FOwnDirty = QRegion();
    if (!ownOnly) {
        if (FCanvas.size() != size()) FCanvas = QImage(size(), QImage::Format_RGB32);
        FPaintPending = false;
        FInPaint = true;
        Paint();
        FInPaint = false;
        ++FFullPaints;
    }
    QPainter p(this);
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), FCanvas, r);
}

void TSkCustomControl::resizeEvent(QResizeEvent* event) {
    FPaintPending = true;
    QWidget::resizeEvent(event);
}

void TSkCustomControl::KeyDown(unsigned short& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TSkCustomControl::KeyUp(unsigned short& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TSkCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TSkCustomControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TSkCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TSkCustomControl::keyPressEvent(QKeyEvent* event) {
    const unsigned short vk = VirtualKeyFromQt(event->key());
    unsigned short key = vk;
    QPointer<TSkCustomControl> self(this);
    KeyDown(key, ShiftStateFrom(event->modifiers()));
    event->setAccepted(self && WantsKey(vk));
}

void TSkCustomControl::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) return; // a held key is released once, at the end
    unsigned short key = VirtualKeyFromQt(event->key());
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
    if (event->button() == Qt::LeftButton && rect().contains(pos) && OnClick) {
        OnClick(this);
        if (!self) return;
    }
    MouseUp(MouseButtonFrom(event->button()), ShiftStateFrom(event->modifiers(), event->buttons()),
            pos.x(), pos.y());
    if (self && event->button() == Qt::RightButton && FPopupMenu) FPopupMenu->popup(global);
}

// The base handlers are skipped: they would repaint the whole control, and
// only the knob shows the focus.
void TSkCustomControl::focusInEvent(QFocusEvent*) {
    QPointer<TSkCustomControl> self(this);
    if (OnEnter) OnEnter(this);
    if (self) FocusChanged();
}

void TSkCustomControl::focusOutEvent(QFocusEvent*) {
    QPointer<TSkCustomControl> self(this);
    if (OnExit) OnExit(this);
    if (self) FocusChanged();
}

void TSkCustomControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        EnabledChanged(); // the knob shows it
    else
        QWidget::changeEvent(event);
}
