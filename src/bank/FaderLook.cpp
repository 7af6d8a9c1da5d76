#include "bank/FaderLook.h"

#include "buttons/Buttons.h"
#include "slider/VSlider.h"

void ApplyFaderSettings(TSkVSlider& s, bool gradient) {
    TSkSBevel& outer = *s.BevelOuter();
    outer.SetBevelLine(blNone);
    outer.SetColor(clBtnFace);
    outer.SetColorShadowFrom(clSilver);
    outer.SetColorShadowTo(clSilver);
    outer.SetColorHighLightFrom(clSilver);
    outer.SetColorHighLightTo(clSilver);
    outer.SetPenColor(clSilver);
    outer.SetSpacing(1);
    outer.SetStyle(bsLowered);
    outer.SurfaceGrad()->SetColorFrom(0xE2E2E2);
    outer.SurfaceGrad()->SetColorTo(0x8F8F8F);
    outer.SurfaceGrad()->SetStyle(gsElliptic1);
    outer.SurfaceGrad()->SetVisible(gradient);
    TSkSBevel& value = *s.BevelValue();
    value.SetBevelLine(blNone);
    value.SetColor(clBlack);
    value.SetColorShadowFrom(clSilver);
    value.SetColorShadowTo(clSilver);
    value.SetColorHighLightFrom(clSilver);
    value.SetColorHighLightTo(clSilver);
    value.SetPenColor(clSilver);
    value.SetSpacing(0);
    value.SetStyle(bsLowered);
    s.SetButtonSize(53);
    s.SetColorFocus(clWhite);
    s.SetColorTrench(cl3DDkShadow);
    s.SetCursorSlide(1);
    s.SetChangeLarge(25);
    s.SetEnableMouseJump(true);
    s.Font()->SetName(QStringLiteral("Arial"));
    s.Font()->SetSize(7);
    s.Font()->SetColor(clNavy);
    s.FontValue()->SetColor(0xFF421A);
    s.FontValue()->SetName(QStringLiteral("Arial"));
    s.FontValue()->SetStyle(s.FontValue()->Style() | fsBold);
    s.SetOptions((s.Options() | opBevelOuter | opUnit | opValue | opName1 | opName2) &
                 ~opScaleText);
    TScaleSettings& scale = *s.ScaleSettings();
    scale.SetColor(cl3DDkShadow);
    scale.SetDrawLine(true);
    scale.SetPointerColor(clNavy);
    scale.SetSteps(10);
    scale.SetSubSteps(2);
    scale.SetValueFormat(QStringLiteral("##0"));
    TSignalSettings& sig = *s.SignalSettings();
    sig.SetDigitalFrom(0);
    sig.SetDigitalTo(255);
    sig.SetValueTo(100.0f);
    sig.SetValueUnit(QStringLiteral("%"));
    sig.SetValueFormat(QStringLiteral("##0"));
    s.SetValue(0.0f);
}

void ApplyFaderLook(TSkVSlider& s, bool gradient) {
    ApplyFaderSettings(s, gradient);
    s.SetTabStop(false);
}

void ApplyBumpLook(ToxButton& b, TColor color) {
    b.SetGrayed(false);
    b.Background().SetDitherDown(false);
    b.SetButtonType(ToxButtonType::oxbCommand);
    b.SetStyle(ToxBtnStyle::bsInset);
    b.SetGroupAllowNoSel(true);
    b.Background().SetStyle(ToxBackgroundStyle::oxbVertGradient);
    QFont font = b.Font();
    font.setBold(true);
    font.setPointSize(12);
    b.SetFont(font);
    b.SetTextX(0);
    b.SetTextY(0);
    b.SetTabStop(false);
    b.SetColor(color);
    b.SetCursor(crHandPoint);
}
