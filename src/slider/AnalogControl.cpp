#include "slider/AnalogControl.h"

#include <QPointer>
#include <QWheelEvent>

#include "slider/ValueFormat.h"

TSkAnalogCControl::TSkAnalogCControl(QWidget* parent)
    : TSkCustomControl(parent), signalSettings_(new TSignalSettings(this)),
      model_(*signalSettings_) {
    BeginUpdate(); // released by Loaded; a control made by code keeps it
}

void TSkAnalogCControl::SetDigit(std::int32_t digit) {
    if (!model_.SetDigit(digit)) return;
    QPointer<TSkAnalogCControl> self(this);
    UpdateValueDisplay();
    emit digitChanged(model_.Digit());
    if (self) pendingChanged_ = true;
}

void TSkAnalogCControl::SetValue(float value) {
    if (const auto digit = model_.PrepareValue(value)) SetDigit(*digit);
}

void TSkAnalogCControl::StepDigit(std::int32_t up, std::int32_t down) {
    SetDigit(model_.StepTarget(up, down));
}

void TSkAnalogCControl::SetColorFocus(TColor v) {
    if (v == colorFocus_) return;
    colorFocus_ = v;
    SettingsChanged();
}

void TSkAnalogCControl::SetColorNonFocus(TColor v) {
    if (v == colorNonFocus_) return;
    colorNonFocus_ = v;
    SettingsChanged();
}

void TSkAnalogCControl::ConnectSettings(TSkPersistent& settings) {
    // Unique: a second Loaded must not repaint twice for one change.
    connect(&settings, &TSkPersistent::changed, this, &TSkAnalogCControl::SettingsChanged,
            Qt::UniqueConnection);
}

void TSkAnalogCControl::Loaded() {
    signalSettings_->Changed();
    ConnectSettings(*signalSettings_);
    EndUpdate();
}

void TSkAnalogCControl::SettingsChanged() {
    normalCursor_ = Cursor();
}

void TSkAnalogCControl::UpdateValueDisplay() {
    valueText_ = FormatFloat(signalSettings_->ValueFormat(), model_.Value());
}

TColor TSkAnalogCControl::KnobColor() const {
    if (!isEnabled()) return clBtnShadow;
    return hasFocus() ? colorFocus_ : colorNonFocus_;
}

void TSkAnalogCControl::KeyDown(unsigned short& key, TShiftState shift) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::KeyDown(key, shift);
    if (!self || !enableKeyboard_) return;
    const TSignalSettings& s = *signalSettings_;
    switch (KeyActionFor(key, enabledKeys_)) {
    case TKeyAction::PageUp:
        StepDigit(changeLarge_, 0);
        break;
    case TKeyAction::PageDown:
        StepDigit(0, changeLarge_);
        break;
    case TKeyAction::ToTop:
        SetDigit(s.DigitalTo());
        break;
    case TKeyAction::ToBottom:
        SetDigit(s.DigitalFrom());
        break;
    case TKeyAction::StepUp:
        StepDigit(changeSmall_, 0);
        break;
    case TKeyAction::StepDown:
        StepDigit(0, changeSmall_);
        break;
    case TKeyAction::None:
        break;
    }
}

void TSkAnalogCControl::RaiseValueChanged() {
    if (!pendingChanged_) return;
    pendingChanged_ = false;
    emit changeFinished();
}

void TSkAnalogCControl::KeyUp(unsigned short& key, TShiftState shift) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::KeyUp(key, shift);
    if (self) RaiseValueChanged();
}

void TSkAnalogCControl::wheelEvent(QWheelEvent* event) {
    event->accept();
    // Only the vertical wheel steps: a sideways swipe must not move live levels.
    const int step = WheelStepFor(event->angleDelta().y());
    if (step > 0)
        StepDigit(changeSmall_, 0);
    else if (step < 0)
        StepDigit(0, changeSmall_);
}

void TSkAnalogCControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseDown(button, shift, x, y);
    if (!self) return;
    setFocus(Qt::MouseFocusReason);
    if (!self || button != TMouseButton::mbLeft) return;
    overKnob_ = knobHitRect_.Hit(x, y);
    if (overKnob_) {
        sliding_ = true;
        SlideTo(x, y);
    }
}

void TSkAnalogCControl::MouseMove(TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseMove(shift, x, y);
    if (!self) return;
    overKnob_ = knobHitRect_.Hit(x, y);
    if (overKnob_ && Cursor() != cursorSlide_)
        SetCursor(cursorSlide_);
    else if (!overKnob_ && Cursor() != normalCursor_)
        SetCursor(normalCursor_);
    if (sliding_) SlideTo(x, y);
}

void TSkAnalogCControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseUp(button, shift, x, y);
    if (!self || button != TMouseButton::mbLeft) return;
    sliding_ = false;
    RaiseValueChanged();
}
