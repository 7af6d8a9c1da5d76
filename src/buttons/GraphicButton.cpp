// Behaviour of the button face: value and groups, mouse input, the repeat
// timer and hot tracking.
#include "buttons/GraphicButton.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QTimer>

#include "buttons/Button.h"

namespace {

// The held repeat button showing its pictures exchanged, if any: one for
// the whole program, since only one button is held at a time.
const ToxCustomGraphicButton* picturesExchangedBy = nullptr;

} // namespace

ToxCustomGraphicButton::ToxCustomGraphicButton(QWidget* parent) : ToxButtonSignals(parent) {
    setFocusPolicy(Qt::NoFocus);
    setFont(QApplication::font()); // its own, not the container's
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(kDefaultButtonSize, kDefaultButtonSize);
    background_.OnChange = [this] {
        // A clear face lets its container show through.
        setAttribute(Qt::WA_OpaquePaintEvent, background_.Style() != ToxBackgroundStyle::oxbClear);
        // The face colour copied to the background is part of a kept face's key.
        if (syncingColor_)
            ShowOtherFace();
        else
            Redraw();
    };
    background_.OnColorChange = [this](TColor c) { OnBackgroundColor(c); };
}

ToxCustomGraphicButton::~ToxCustomGraphicButton() {
    if (picturesExchangedBy == this) picturesExchangedBy = nullptr;
    background_.OnChange = nullptr;
    background_.OnColorChange = nullptr;
}

void ToxCustomGraphicButton::SetValue(bool v) {
    if (type_ != ToxButtonType::oxbToggle) v = false;
    if (v == value_) return;
    if (value_ && !allowNoSel_) return;
    value_ = v;
    QPointer<ToxCustomGraphicButton> self(this);
    Change();
    if (!self) return;
    pressState_ = v ? ToxPressState::Latched : ToxPressState::Up;
    ShowOtherFace();
    if (v) NotifyGroup();
}

void ToxCustomGraphicButton::SetGroup(int g) {
    if (g == group_) return;
    group_ = g;
    NotifyGroup();
}

void ToxCustomGraphicButton::SetGroupAllowNoSel(bool a) {
    if (a == allowNoSel_) return;
    allowNoSel_ = a;
    NotifyGroup();
}

void ToxCustomGraphicButton::SetGrayed(bool g) {
    Store(grayed_, g);
}

void ToxCustomGraphicButton::SetCursor(int tcursor) {
    cursor_ = tcursor;
    setCursor(CursorShapeOf(tcursor));
}

void ToxCustomGraphicButton::SetFocused(bool f) {
    if (f == focused_) return;
    focused_ = f;
    update();
}

void ToxCustomGraphicButton::SetDefault(bool d) {
    if (d == default_) return;
    default_ = d;
    update();
}

bool ToxCustomGraphicButton::RepeatTimerActive() const {
    return repeatTimer_ != nullptr;
}

void ToxCustomGraphicButton::Click() {
    if (SoundClick_Component) SoundClick_Component();
    if (action_)
        action_->trigger();
    else
        emit clicked();
}

void ToxCustomGraphicButton::Change() {
    emit valueChanged(value_);
}

void ToxCustomGraphicButton::Toggle() {
    SetValue(!value_);
}

QWidget* ToxCustomGraphicButton::Container() const {
    if (wrapper_) return wrapper_->parentWidget();
    return parentWidget();
}

void ToxCustomGraphicButton::NotifyGroup() {
    if (type_ != ToxButtonType::oxbToggle) return;
    QWidget* container = Container();
    if (!container) return;
    // Faces standing on the container first, then those inside wrappers.
    QList<QPointer<ToxCustomGraphicButton>> receivers;
    for (QObject* child : container->children())
        if (auto* face = qobject_cast<ToxCustomGraphicButton*>(child)) receivers.append(face);
    for (QObject* child : container->children())
        if (auto* wrapper = qobject_cast<ToxCustomButton*>(child))
            receivers.append(wrapper->Face());
    const int group = group_;
    QPointer<ToxCustomGraphicButton> self(this);
    for (const auto& receiver : receivers) {
        if (!self) return;
        if (receiver && receiver != this) receiver->ReceiveGroupNotification(this, group);
    }
}

void ToxCustomGraphicButton::ReceiveGroupNotification(ToxCustomGraphicButton* sender, int group) {
    if (group != group_) return;
    QPointer<ToxCustomGraphicButton> guard(sender);
    if (sender->Value() && value_ && sender->Group() != 0) {
        value_ = false;
        pressState_ = ToxPressState::Up;
        Redraw();
        QPointer<ToxCustomGraphicButton> self(this);
        Change();
        if (!self || !guard) return;
    }
    allowNoSel_ = sender->GroupAllowNoSel();
}

bool ToxCustomGraphicButton::IsInside(int x, int y) const {
    const int w = width(), h = height();
    if (effectiveStyle_ != ToxBtnStyle::bsShaped) return x >= 0 && x < w && y >= 0 && y <= h;
    const QPoint p(x, y);
    if (pictureRect_.contains(p)) return true;
    if (font3D_ != ToxFontStyle::fsNone && textRect_.contains(p)) return true;
    if (type_ == ToxButtonType::oxbCombo) {
        const int top = (h - kComboArrowWidth) / 2;
        return x >= w - kComboArrowWidth && x <= w - 1 && y >= top && y <= top + kComboArrowWidth;
    }
    return false;
}

void ToxCustomGraphicButton::RepaintNow() {
    if (isVisible()) repaint();
}

void ToxCustomGraphicButton::PopupMenuNow(bool arrow) {
    if (arrow) pressState_ = ToxPressState::ArrowPressed;
    RepaintNow();
    QPointer<ToxCustomGraphicButton> self(this);
    QMenu* menu = popupMenu_;
    if (menu) menu->exec(mapToGlobal(QPoint(0, height())));
    if (!self) return;
    pressState_ = ToxPressState::Up;
    pressed_ = false;
    const QPoint pos = mapFromGlobal(QCursor::pos());
    hot_ = IsInside(pos.x(), pos.y());
}

void ToxCustomGraphicButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<ToxCustomGraphicButton> self(this);
    emit mousePressed(button, shift, x, y);
    if (!self) return;
    if (button != TMouseButton::mbLeft || !isEnabled() || !IsInside(x, y)) return;
    if (SoundDown_Component) SoundDown_Component();
    pressState_ = ToxPressState::Pressed;
    pressed_ = true;
    const bool arrow = type_ == ToxButtonType::oxbCombo && x > width() - kComboArrowWidth;
    if (type_ == ToxButtonType::oxbMenu || arrow) {
        PopupMenuNow(arrow);
        if (!self) return;
    }
    RepaintNow();
    if (type_ == ToxButtonType::oxbRepeat && pressed_) {
        if (!repeatTimer_) {
            repeatTimer_ = new QTimer(this);
            repeatTimer_->setTimerType(Qt::PreciseTimer);
            connect(repeatTimer_, &QTimer::timeout, this, &ToxCustomGraphicButton::RepeatTick);
        }
        repeatTimer_->setInterval(initDelay_);
        repeatTimer_->start();
    }
}

void ToxCustomGraphicButton::MouseMove(TShiftState shift, int x, int y) {
    QPointer<ToxCustomGraphicButton> self(this);
    emit mouseMoved(shift, x, y);
    if (!self) return;
    const bool inside = IsInside(x, y);
    if (pressed_) {
        hot_ = inside;
        const ToxPressState next = inside ? ToxPressState::Pressed : ToxPressState::Up;
        if (next != pressState_) {
            pressState_ = next;
            RepaintNow();
        }
    } else if (effectiveStyle_ == ToxBtnStyle::bsBorderless && inside != hot_) {
        hot_ = inside;
        RepaintNow();
    }
}

void ToxCustomGraphicButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<ToxCustomGraphicButton> self(this);
    emit mouseReleased(button, shift, x, y);
    if (!self) return;
    StopRepeat();
    if (!pressed_) return;
    pressed_ = false;
    const bool click = IsInside(x, y) && type_ != ToxButtonType::oxbRepeat;
    pressState_ = ToxPressState::Up;
    if (!click) hot_ = false;
    if (type_ == ToxButtonType::oxbRepeat) RestorePictures();
    if (type_ == ToxButtonType::oxbToggle && click) {
        SetValue(!value_);
        if (!self) return;
    }
    if (value_) pressState_ = ToxPressState::Latched;
    RepaintNow();
    if (click) Click();
}

void ToxCustomGraphicButton::StopRepeat() {
    delete repeatTimer_;
    repeatTimer_ = nullptr;
}

void ToxCustomGraphicButton::RepeatTick() {
    if (!repeatTimer_) return;
    repeatTimer_->setInterval(delay_);
    if (pressState_ != ToxPressState::Pressed || !pressed_) return;
    ExchangePictures();
    try {
        Click();
    } catch (...) {
        StopRepeat();
        throw;
    }
}

void ToxCustomGraphicButton::ExchangePictures() {
    if (pictures_.Up.isNull() || pictures_.Down.isNull()) return;
    std::swap(pictures_.Up, pictures_.Down);
    picturesExchangedBy = picturesExchangedBy == this ? nullptr : this;
    DropCache();
    RepaintNow();
}

void ToxCustomGraphicButton::RestorePictures() {
    if (picturesExchangedBy != this) return;
    if (!pictures_.Up.isNull() && !pictures_.Down.isNull()) std::swap(pictures_.Up, pictures_.Down);
    picturesExchangedBy = nullptr;
    DropCache();
}

bool ToxCustomGraphicButton::HotRedraws() const {
    const ToxBtnStyle s = effectiveStyle_;
    return s == ToxBtnStyle::bsWin97 || s == ToxBtnStyle::bsBorderless ||
           s == ToxBtnStyle::bsShaped || s == ToxBtnStyle::bsWinXP || grayed_ ||
           (!pictures_.Over.isNull() && !pictures_.Up.isNull());
}

void ToxCustomGraphicButton::SetHot(bool h) {
    if (h == hot_) return;
    hot_ = h;
    if (HotRedraws()) RepaintNow();
}

void ToxCustomGraphicButton::UpdateHotFromCursor() {
    const QPoint pos = mapFromGlobal(QCursor::pos());
    hot_ = isEnabled() && underMouse() && IsInside(pos.x(), pos.y());
}

void ToxCustomGraphicButton::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && wrapper_ && !wrapper_->TakeFocusForPress()) return;
    MouseDown(MouseButtonFrom(event->button()),
              ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
}

void ToxCustomGraphicButton::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && wrapper_ && !wrapper_->TakeFocusForPress()) return;
    MouseDown(MouseButtonFrom(event->button()),
              ShiftStateFrom(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
}

void ToxCustomGraphicButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
}

void ToxCustomGraphicButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseUp(MouseButtonFrom(event->button()), ShiftStateFrom(event->modifiers(), event->buttons()),
            p.x(), p.y());
}

void ToxCustomGraphicButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (!hot_ && !pressed_ && isEnabled()) {
        if (SoundEnter_Component) SoundEnter_Component();
        SetHot(true);
    }
    emit mouseEntered();
}

void ToxCustomGraphicButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (SoundExit_Component) SoundExit_Component();
    if (hot_ && !pressed_ && isEnabled()) SetHot(false);
    emit mouseLeft();
}

void ToxCustomGraphicButton::contextMenuEvent(QContextMenuEvent* event) {
    if (!popupMenu_) {
        event->ignore();
        return;
    }
    popupMenu_->exec(event->globalPos());
}

bool ToxCustomGraphicButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut && !wrapper_) {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == shortcutId_ && isEnabled()) {
            QPointer<ToxCustomGraphicButton> self(this);
            if (type_ == ToxButtonType::oxbToggle) Toggle();
            if (self) Click();
            return true;
        }
    }
    return QWidget::event(event);
}

void ToxCustomGraphicButton::UpdateAccelerator() {
    if (shortcutId_ != 0) releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    if (wrapper_) return;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
}
