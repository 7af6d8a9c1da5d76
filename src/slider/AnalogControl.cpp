#include "slider/AnalogControl.h"

#include <QPointer>
#include <QWheelEvent>

#include "slider/ValueFormat.h"

TSkAnalogCControl::TSkAnalogCControl(QWidget* parent)
    : TSkCustomControl(parent), FSignalSettings(new TSignalSettings(this)),
      FModel(*FSignalSettings) {
    BeginUpdate(); // released by Loaded; a control made by code keeps it
}

void TSkAnalogCControl::SetDigit(std::int32_t digit) {
    if (!FModel.SetDigit(digit)) return;
    QPointer<TSkAnalogCControl> self(this);
    UpdateValueDisplay();
    emit digitChanged(FModel.Digit());
    if (self) FPendingChanged = true;
}

void TSkAnalogCControl::SetValue(float value) {
    if (const auto digit = FModel.PrepareValue(value)) SetDigit(*digit);
}

void TSkAnalogCControl::StepDigit(std::int32_t up, std::int32_t down) {
    SetDigit(FModel.StepTarget(up, down));
}

void TSkAnalogCControl::SetColorFocus(TColor v) {
    if (v == FColorFocus) return;
    FColorFocus = v;
    SettingsChanged();
}

void TSkAnalogCControl::SetColorNonFocus(TColor v) {
    if (v == FColorNonFocus) return;
    FColorNonFocus = v;
    SettingsChanged();
}

void TSkAnalogCControl::ConnectSettings(TSkPersistent& settings) {
    // Unique: a second Loaded must not repaint twice for one change.
    connect(&settings, &TSkPersistent::changed, this, &TSkAnalogCControl::SettingsChanged,
            Qt::UniqueConnection);
}

void TSkAnalogCControl::Loaded() {
    FSignalSettings->Changed();
    ConnectSettings(*FSignalSettings);
    EndUpdate();
}

void TSkAnalogCControl::SettingsChanged() {
    FNormalCursor = Cursor();
}

void TSkAnalogCControl::UpdateValueDisplay() {
    FValueText = FormatFloat(FSignalSettings->ValueFormat(), FModel.Value());
}

TColor TSkAnalogCControl::KnobColor() const {
    if (!isEnabled()) return clBtnShadow;
    return hasFocus() ? FColorFocus : FColorNonFocus;
}

void TSkAnalogCControl::KeyDown(unsigned short& key, TShiftState shift) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::KeyDown(key, shift);
    if (!self || !FEnableKeyboard) return;
    const TSignalSettings& s = *FSignalSettings;
    switch (KeyActionFor(key, FEnabledKeys)) {
    case TKeyAction::PageUp:
        StepDigit(FChangeLarge, 0);
        break;
    case TKeyAction::PageDown:
        StepDigit(0, FChangeLarge);
        break;
    case TKeyAction::ToTop:
        SetDigit(s.DigitalTo());
        break;
    case TKeyAction::ToBottom:
        SetDigit(s.DigitalFrom());
        break;
    case TKeyAction::StepUp:
        StepDigit(FChangeSmall, 0);
        break;
    case TKeyAction::StepDown:
        StepDigit(0, FChangeSmall);
        break;
    case TKeyAction::None:
        break;
    }
}

void TSkAnalogCControl::RaiseValueChanged() {
    if (!FPendingChanged) return;
    FPendingChanged = false;
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
        StepDigit(FChangeSmall, 0);
    else if (step < 0)
        StepDigit(0, FChangeSmall);
}

void TSkAnalogCControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseDown(button, shift, x, y);
    if (!self) return;
    setFocus(Qt::MouseFocusReason);
    if (!self || button != TMouseButton::mbLeft) return;
    FOverKnob = FKnobHitRect.Hit(x, y);
    if (FOverKnob) {
        FSliding = true;
        SlideTo(x, y);
    }
}

void TSkAnalogCControl::MouseMove(TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseMove(shift, x, y);
    if (!self) return;
    FOverKnob = FKnobHitRect.Hit(x, y);
    if (FOverKnob && Cursor() != FCursorSlide)
        SetCursor(FCursorSlide);
    else if (!FOverKnob && Cursor() != FNormalCursor)
        SetCursor(FNormalCursor);
    if (FSliding) SlideTo(x, y);
}

void TSkAnalogCControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    QPointer<TSkAnalogCControl> self(this);
    TSkCustomControl::MouseUp(button, shift, x, y);
    if (!self || button != TMouseButton::mbLeft) return;
    FSliding = false;
    RaiseValueChanged();
}
