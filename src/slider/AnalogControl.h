#pragma once
// The analog control: an integer position (Digit) and a real value coupled
// through the signal settings, the change signals, and the keyboard, wheel
// and mouse handling that move it.

#include <cstdint>

#include <QString>

#include "base/Colors.h"
#include "slider/CustomControl.h"
#include "slider/Rect.h"
#include "slider/SignalSettings.h"
#include "slider/ValueModel.h"

class TSkAnalogCControl : public TSkCustomControl {
    Q_OBJECT
public:
    explicit TSkAnalogCControl(QWidget* parent = nullptr);

    std::int32_t ChangeLarge() const { return changeLarge_; }
    std::int32_t ChangeSmall() const { return changeSmall_; }
    std::int32_t Digit() const { return model_.Digit(); }
    float Value() const { return model_.Value(); }
    TSignalSettings* SignalSettings() const { return signalSettings_; }
    int CursorSlide() const { return cursorSlide_; }
    bool EnableKeyboard() const { return enableKeyboard_; }
    bool EnableMouseJump() const { return enableMouseJump_; }
    TEnabledKeys EnabledKeys() const { return enabledKeys_; }
    TColor ColorFocus() const { return colorFocus_; }
    TColor ColorNonFocus() const { return colorNonFocus_; }
    bool PendingChanged() const { return pendingChanged_; }
    const QString& ValueText() const { return valueText_; }
    bool Sliding() const { return sliding_; }
    const TSkRect& KnobHitRect() const { return knobHitRect_; }
    bool OverKnob() const { return overKnob_; }
    int NormalCursor() const { return normalCursor_; }

    // The one place where the position changes.
    void SetDigit(std::int32_t digit);
    void SetValue(float value);
    void StepDigit(std::int32_t up, std::int32_t down);
    void SetChangeLarge(std::int32_t v) { changeLarge_ = v; }
    void SetChangeSmall(std::int32_t v) { changeSmall_ = v; }
    void SetCursorSlide(int v) { cursorSlide_ = v; }
    void SetEnableKeyboard(bool v) { enableKeyboard_ = v; }
    void SetEnableMouseJump(bool v) { enableMouseJump_ = v; }
    void SetEnabledKeys(TEnabledKeys v) { enabledKeys_ = v; }
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
    void SetKnobHitRect(const TSkRect& r) { knobHitRect_ = r; }
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

    std::int32_t changeLarge_ = 10;
    std::int32_t changeSmall_ = 1;
    TSignalSettings* signalSettings_;
    TSkValueModel model_;
    int cursorSlide_ = crSkHand;
    bool enableKeyboard_ = true;
    bool enableMouseJump_ = true;
    TEnabledKeys enabledKeys_ = AllEnabledKeys;
    TColor colorFocus_ = clLime;
    TColor colorNonFocus_ = clGreen;
    bool pendingChanged_ = false;
    QString valueText_;
    bool sliding_ = false;
    TSkRect knobHitRect_;
    bool overKnob_ = false;
    int normalCursor_ = crDefault;
};
