#include "slider/VSlider.h"

TSkVSlider::TSkVSlider(QWidget* parent)
    : TSkAnalogCControl(parent),
      FFont(new TSkFont(QStringLiteral("MS Sans Serif"), 10, clWindowText, this)),
      FBevelOuter(new TSkSBevel(this)), FBevelValue(new TSkSBevel(this)),
      FFontValue(new TSkFont(QStringLiteral("System"), 10, clLime, this)),
      FScaleSettings(new TScaleSettings(TScaleSettings::Defaults::Slider, this)) {
    FBevelOuter->SetSpacing(5);
    FBevelOuter->SetBevelLine(blOuter);
    FBevelOuter->SetWidth(2);
    FBevelValue->SetStyle(bsLowered);
    FBevelValue->SetWidth(2);
    FBevelValue->SetColor(clBlack);
    FBevelValue->SetSpacing(0);
    resize(70, 250); // wide enough for the knob sizes set before the owner sizes it
}

void TSkVSlider::SetButtonSize(int v) {
    if (v == FButtonSize) return;
    FButtonSize = ClampButtonSize(v, width());
    NotifyChange();
}

void TSkVSlider::SetColorTrench(TColor v) {
    FColorTrench = v;
    NotifyChange();
}

void TSkVSlider::SetOptions(TVSliderOptions v) {
    FOptions = v & AllVSliderOptions;
    NotifyChange();
}

void TSkVSlider::Loaded() {
    ConnectSettings(*FFontValue);
    ConnectSettings(*FScaleSettings);
    ConnectSettings(*FBevelOuter);
    ConnectSettings(*FBevelValue);
    TSkAnalogCControl::Loaded();
}

void TSkVSlider::SettingsChanged() {
    TSkAnalogCControl::SettingsChanged();
    // Painting itself moves the scale side; that must not ask for another paint.
    if (!InPaint()) Invalidate();
}

void TSkVSlider::SlideTo(int, int y) {
    if (PaintPending() && isVisible()) repaint(); // lay out before mapping the pointer
    const TSignalSettings& s = *SignalSettings();
    SetDigit(SlideDigitFor(FLayout.TrenchRect, y, s.DigitalSpan(), s.DigitalFrom()));
}
