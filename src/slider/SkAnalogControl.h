#pragma once
// The analog control: an integer position (Digit) and a real value coupled
// through the signal settings, the change signals, and the keyboard, wheel
// and mouse handling that move it.

#include <cstdint>

#include <QString>

#include "base/Colors.h"
#include "slider/SkCustomControl.h"
#include "slider/SkGeometry.h"
#include "slider/SkSignal.h"
#include "slider/SkVSlideValue.h"

class TSkAnalogCControl : public TSkCustomControl {
    Q_OBJECT
public:
    explicit TSkAnalogCControl(QWidget* parent = nullptr);

    std::int32_t ChangeLarge() const { return FChangeLarge; }
    std::int32_t ChangeSmall() const { return FChangeSmall; }
    std::int32_t Digit() const { return FModel.Digit(); }
    float Value() const { return FModel.Value(); }
    TSignalSettings* SignalSettings() const { return FSignalSettings; }
    int CursorSlide() const { return FCursorSlide; }
    bool EnableKeyboard() const { return FEnableKeyboard; }
    bool EnableMouseJump() const { return FEnableMouseJump; }
    TEnabledKeys EnabledKeys() const { return FEnabledKeys; }
    TColor ColorFocus() const { return FColorFocus; }
    TColor ColorNonFocus() const { return FColorNonFocus; }
    bool PendingChanged() const { return FPendingChanged; }
    const QString& ValueText() const { return FValueText; }
    bool Sliding() const { return FSliding; }
    const TSkRect& KnobHitRect() const { return FKnobHitRect; }
    bool OverKnob() const { return FOverKnob; }
    int NormalCursor() const { return FNormalCursor; }

    // The one place where the position changes.
    void SetDigit(std::int32_t digit);
    void SetValue(float value);
    void StepDigit(std::int32_t up, std::int32_t down);
    void SetChangeLarge(std::int32_t v) { FChangeLarge = v; }
    void SetChangeSmall(std::int32_t v) { FChangeSmall = v; }
    void SetCursorSlide(int v) { FCursorSlide = v; }
    void SetEnableKeyboard(bool v) { FEnableKeyboard = v; }
    void SetEnableMouseJump(bool v) { FEnableMouseJump = v; }
    void SetEnabledKeys(TEnabledKeys v) { FEnabledKeys = v; }
    // Repaint even while updates are held back.
    void SetColorFocus(TColor v);
    void SetColorNonFocus(TColor v);
    void SetEnabled(bool v) { setEnabled(v); }

    // After reading from a stored form: recompute the mapping, connect the
    // settings' change notices and release the update counter.
    virtual void Loaded();

    void SettingsChanged() override;
    virtual void UpdateValueDisplay();

signals:
    // At every step of the position, once the read-out shows it.
    void digitChanged(int digit);
    // Once a change settles: at the next release of a key or of the left button.
    void changeFinished();

protected:
    // Moves the knob to the pointer.
    virtual void SlideTo(int x, int y) = 0;
    void SetKnobHitRect(const TSkRect& r) { FKnobHitRect = r; }
    // The colour the knob shows now.
    TColor KnobColor() const;

    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyUp(unsigned short& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool WantsKey(unsigned short vk) const override {
        return KeyActionFor(vk, AllEnabledKeys) != TKeyAction::None;
    }
    void FocusChanged() override { UpdateValueDisplay(); }
    void EnabledChanged() override { UpdateValueDisplay(); }
    void wheelEvent(QWheelEvent* event) override;

    // Connects a settings object's changed signal to SettingsChanged.
    void ConnectSettings(TSkPersistent& settings);

private:
    void RaiseValueChanged();

    std::int32_t FChangeLarge = 10;
    std::int32_t FChangeSmall = 1;
    TSignalSettings* FSignalSettings;
    TSkValueModel FModel;
    int FCursorSlide = crSkHand;
    bool FEnableKeyboard = true;
    bool FEnableMouseJump = true;
    TEnabledKeys FEnabledKeys = AllEnabledKeys;
    TColor FColorFocus = clLime;
    TColor FColorNonFocus = clGreen;
    bool FPendingChanged = false;
    QString FValueText;
    bool FSliding = false;
    TSkRect FKnobHitRect;
    bool FOverKnob = false;
    int FNormalCursor = crDefault;
};
