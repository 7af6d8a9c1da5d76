#include "slider/VSlider.h"

TSkVSlider::TSkVSlider(QWidget* parent)
    : TSkAnalogCControl(parent),
      font_(new TSkFont(QStringLiteral("MS Sans Serif"), 10, clWindowText, this)),
      bevelOuter_(new TSkSBevel(this)), bevelValue_(new TSkSBevel(this)),
      fontValue_(new TSkFont(QStringLiteral("System"), 10, clLime, this)),
      scaleSettings_(new TScaleSettings(TScaleSettings::Defaults::Slider, this)) {
    bevelOuter_->SetSpacing(5);
    bevelOuter_->SetBevelLine(blOuter);
    bevelOuter_->SetWidth(2);
    bevelValue_->SetStyle(bsLowered);
    bevelValue_->SetWidth(2);
    bevelValue_->SetColor(clBlack);
    bevelValue_->SetSpacing(0);
    resize(70, 250); // wide enough for the knob sizes set before the owner sizes it
}

void TSkVSlider::SetButtonSize(int v) {
    if (v == buttonSize_) return;
    buttonSize_ = ClampButtonSize(v, width());
    NotifyChange();
}

void TSkVSlider::SetColorTrench(TColor v) {
    colorTrench_ = v;
    NotifyChange();
}

void TSkVSlider::SetOptions(TVSliderOptions v) {
    options_ = v & AllVSliderOptions;
    NotifyChange();
}

void TSkVSlider::Loaded() {
    ConnectSettings(*fontValue_);
    ConnectSettings(*scaleSettings_);
    ConnectSettings(*bevelOuter_);
    ConnectSettings(*bevelValue_);
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
    SetDigit(SlideDigitFor(layout_.TrenchRect, y, s.DigitalSpan(), s.DigitalFrom()));
}
