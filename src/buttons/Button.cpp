// The focusable wrapper: face forwarding, keyboard, default/cancel, Kind.
#include "buttons/Button.h"

#include <array>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QShortcutEvent>

#include "core/VirtualKeys.h"

namespace {

struct KindRow {
    ToxBtnKind kind;
    const char* caption;
    int modalResult;
    bool isDefault;
    bool isCancel;
};

constexpr std::array<KindRow, 6> kKindRows = {{
    {ToxBtnKind::bkOK, "OK", mrOk, true, false},
    {ToxBtnKind::bkCancel, "&Cancel", mrCancel, false, true},
    {ToxBtnKind::bkHelp, "&Help", mrNone, false, false},
    {ToxBtnKind::bkYes, "&Yes", mrYes, true, false},
    {ToxBtnKind::bkNo, "&No", mrNo, false, true},
    {ToxBtnKind::bkClose, "&Close", mrNone, false, false},
}};

const KindRow* RowOf(ToxBtnKind kind) {
    for (const KindRow& row : kKindRows)
        if (row.kind == kind) return &row;
    return nullptr;
}

constexpr unsigned short kVkSpace = 32;

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool IsButton(QWidget* w) {
    return qobject_cast<ToxCustomButton*>(w) != nullptr ||
           qobject_cast<QAbstractButton*>(w) != nullptr;
}

} // namespace

ToxCustomButton::ToxCustomButton(QWidget* parent) : ToxButtonSignals(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    setFont(QApplication::font()); // its own, not the parent's
    face_ = new ToxCustomGraphicButton(this);
    face_->wrapper_ = this;
    face_->SetFocusStyle(fsDefault | fsText);
    face_->SetFontColor(clBtnText);
    HookFace();
    resize(kDefaultButtonSize, kDefaultButtonSize);
    face_->setGeometry(rect());
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateDefaultFlag(); });
}

ToxCustomButton::~ToxCustomButton() {
    if (filtering_) qApp->removeEventFilter(this);
}

// The face's signals come out of the wrapper, with the wrapper as sender; a
// click and the mouse pass through the wrapper's own handling first.
void ToxCustomButton::HookFace() {
    using S = ToxButtonSignals;
    connect(face_, &S::clicked, this, [this] { Click(); });
    connect(face_, &S::valueChanged, this, &S::valueChanged);
    connect(face_, &S::mousePressed, this, &ToxCustomButton::MouseDown);
    connect(face_, &S::mouseMoved, this, &ToxCustomButton::MouseMove);
    connect(face_, &S::mouseReleased, this, &ToxCustomButton::MouseUp);
    connect(face_, &S::mouseEntered, this, &S::mouseEntered);
    connect(face_, &S::mouseLeft, this, &S::mouseLeft);
    connect(face_, &S::dragDropped, this, &S::dragDropped);
    connect(face_, &S::dragOver, this, &S::dragOver);
    connect(face_, &S::dragEnded, this, &S::dragEnded);
}

void ToxCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    emit mousePressed(button, shift, x, y);
}

void ToxCustomButton::MouseMove(TShiftState shift, int x, int y) {
    emit mouseMoved(shift, x, y);
}

void ToxCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    emit mouseReleased(button, shift, x, y);
}

ToxBtnKind ToxCustomButton::Kind() const {
    const KindRow* row = RowOf(kind_);
    if (!row) return ToxBtnKind::bkCustom;
    if (Caption() != QLatin1String(row->caption) || modalResult_ != row->modalResult ||
        (row->isDefault && !default_) || (row->isCancel && !cancel_))
        return ToxBtnKind::bkCustom;
    return kind_;
}

void ToxCustomButton::SetKind(ToxBtnKind kind) {
    kind_ = kind;
    const KindRow* row = RowOf(kind);
    if (!row) return;
    SetDefault(row->isDefault);
    SetCancel(row->isCancel);
    SetCaption(QLatin1String(row->caption));
    modalResult_ = row->modalResult;
}

void ToxCustomButton::SetDefault(bool d) {
    if (d == default_) return;
    default_ = d;
    UpdateKeyFilter();
    UpdateDefaultFlag();
}

void ToxCustomButton::SetCancel(bool c) {
    if (c == cancel_) return;
    cancel_ = c;
    UpdateKeyFilter();
}

void ToxCustomButton::SetCaption(const QString& c) {
    face_->SetCaption(c);
    UpdateAccelerator();
}

TCaptionStrings ToxCustomButton::Lines() {
    QPointer<ToxCustomButton> self(this);
    return TCaptionStrings([self] { return self ? self->Caption() : QString(); },
                           [self](const QString& text) {
                               if (self) self->SetCaption(text);
                           });
}

void ToxCustomButton::UpdateAccelerator() {
    if (shortcutId_ != 0) releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QKeySequence key = QKeySequence::mnemonic(Caption());
    if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
}

void ToxCustomButton::UpdateKeyFilter() {
    const bool want = default_ || cancel_;
    if (want == filtering_) return;
    filtering_ = want;
    if (want)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool ToxCustomButton::IsActiveDefault() const {
    if (hasFocus()) return true;
    if (!default_) return false;
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus->window() == window() && !IsButton(focus);
}

void ToxCustomButton::UpdateDefaultFlag() {
    face_->SetDefault(IsActiveDefault());
}

bool ToxCustomButton::CanTakeFocus() const {
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

bool ToxCustomButton::TakeFocusForPress() {
    if (hasFocus()) return true;
    if (!(focusPolicy() & Qt::ClickFocus) || !isEnabled()) return false;
    setFocus(Qt::MouseFocusReason);
    return hasFocus() || window()->focusWidget() == this;
}

void ToxCustomButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    face_->setGeometry(rect());
}

void ToxCustomButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    face_->SetFocused(true);
    UpdateDefaultFlag();
    emit focusEntered();
}

void ToxCustomButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (keyHeld_) {
        keyHeld_ = false;
        face_->pressState_ = face_->Value() ? ToxPressState::Latched : ToxPressState::Up;
    }
    face_->SetFocused(false);
    UpdateDefaultFlag();
    emit focusLeft();
}

void ToxCustomButton::DefaultAction() {
    QPointer<ToxCustomButton> self(this);
    if (ButtonType() == ToxButtonType::oxbToggle) face_->Toggle();
    if (!self) return;
    if (ButtonType() == ToxButtonType::oxbMenu) {
        face_->pressState_ = ToxPressState::Pressed;
        face_->PopupMenuNow(false);
        if (self) face_->RepaintNow();
        return;
    }
    Click();
}

bool ToxCustomButton::KeyDownSteps(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                               Qt::AltModifier | Qt::MetaModifier));
    if ((IsEnterKey(key) && IsActiveDefault()) || (key == Qt::Key_Escape && cancel_)) {
        if (!plain || !CanTakeFocus()) return false;
        DefaultAction();
        return true;
    }
    if (key != Qt::Key_Space) return false;
    QPointer<ToxCustomButton> self(this);
    if (!keyHeld_) {
        keyHeld_ = true;
        face_->pressState_ = ToxPressState::Pressed;
        face_->RepaintNow();
        if (ButtonType() == ToxButtonType::oxbMenu) {
            face_->PopupMenuNow(false);
            if (!self) return true;
            face_->RepaintNow();
            keyHeld_ = false;
        }
    }
    if (ButtonType() == ToxButtonType::oxbRepeat && keyHeld_) Click();
    return true;
}

void ToxCustomButton::keyPressEvent(QKeyEvent* event) {
    unsigned short vk = VirtualKeyCodeOf(event->key());
    QPointer<ToxCustomButton> self(this);
    emit keyDown(vk, ShiftStateFrom(event->modifiers()));
    if (!self) return;
    if (vk == 0) return;
    if (!event->text().isEmpty()) {
        char ch = event->text().at(0).toLatin1();
        emit keyPressed(ch);
        if (!self) return;
    }
    if (KeyDownSteps(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ToxCustomButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    unsigned short vk = VirtualKeyCodeOf(event->key());
    QPointer<ToxCustomButton> self(this);
    emit keyUp(vk, ShiftStateFrom(event->modifiers()));
    if (!self) return;
    if (vk != kVkSpace || !keyHeld_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    keyHeld_ = false;
    face_->pressState_ = face_->Value() ? ToxPressState::Latched : ToxPressState::Up;
    if (ButtonType() == ToxButtonType::oxbToggle)
        face_->Toggle();
    else
        face_->RepaintNow();
    if (self) face_->Click();
}

bool ToxCustomButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_) {
            if (CanTakeFocus()) DefaultAction();
            return true;
        }
        break;
    case QEvent::FontChange:
        if (face_) face_->setFont(font());
        break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
        if (!face_) break;
        face_->DropCache();
        face_->update();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool ToxCustomButton::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || watched == this || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != window() || qobject_cast<ToxCustomButton*>(target)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = IsEnterKey(key->key()) && default_ && IsActiveDefault();
    const bool escape = key->key() == Qt::Key_Escape && cancel_;
    if (!enter && !escape) return false;
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (!CanTakeFocus()) return false;
    DefaultAction();
    return true;
}

bool ToxCustomButton::HelpClick() {
    for (QWidget* w = this; w; w = w->parentWidget()) {
        int context = 0;
        if (auto* b = qobject_cast<ToxCustomButton*>(w))
            context = b->helpContext_;
        else
            context = w->property("HelpContext").toInt();
        if (context != 0) {
            if (!ShowHelpTopic) return false;
            ShowHelpTopic(context);
            return true;
        }
    }
    return false;
}

void ToxCustomButton::Click() {
    if (kind_ == ToxBtnKind::bkHelp && HelpClick()) return;
    if (kind_ == ToxBtnKind::bkClose && window() != this) {
        window()->close();
        return;
    }
    QPointer<ToxCustomButton> self(this);
    if (modalResult_ != mrNone)
        if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(modalResult_);
    if (!self) return;
    if (action_)
        action_->trigger();
    else
        emit clicked();
}
