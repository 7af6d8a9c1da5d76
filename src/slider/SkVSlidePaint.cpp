// Painting of the vertical slider: the static picture once per paint, then
// only the knob column and the read-out on each value change.

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>

#include "slider/SkVSlide.h"

void TSkVSlider::PrepareScale() {
    const TSignalSettings& s = *SignalSettings();
    TScaleSettings& scale = *FScaleSettings;
    MeasureScaleHorizontal(scale, s.ValueFrom(), s.ValueTo()); // tick lengths from the label font
    if (FOptions & opScaleText) {
        MeasureScaleVertical(scale, s.ValueFrom(), s.ValueTo());
    } else {
        scale.LabelGap = scale.LabelWidth = scale.LabelHeight = 0;
        scale.Labels.clear();
    }
    scale.LineWidth = 2;
}

TVSliderLayoutInput TSkVSlider::MeasureForLayout() {
    TVSliderLayoutInput in;
    in.Width = width();
    in.Height = height();
    in.Options = FOptions;
    in.BevelOuter = FBevelOuter;
    in.BevelValue = FBevelValue;
    const QFontMetrics value(FFontValue->ToQFont());
    in.SampleWidth = value.horizontalAdvance(SignalSettings()->SampleText());
    in.SampleHeight = value.height();
    in.UnitWidth = value.horizontalAdvance(SignalSettings()->ValueUnit());
    in.NameLineHeight = QFontMetrics(FFont->ToQFont()).height();
    in.LabelHeight = FScaleSettings->LabelHeight;
    in.ScaleWidth = FScaleSettings->ScaleWidth;
    in.ButtonSize = FButtonSize;
    return in;
}

// Outer bevel, read-out box with its unit, caption lines.
void TSkVSlider::PaintHead(QPainter& p) {
    TSkRect r{0, 0, width(), height()};
    if (FOptions & opBevelOuter)
        DrawBevel(*FBevelOuter, p, r);
    else
        FillRectColor(p, {-1, -1, width() + 1, height() + 1}, FBevelOuter->Color());

    const TSignalSettings& s = *SignalSettings();
    if (FOptions & opValue) {
        TSkRect box = FLayout.ValueBevel;
        DrawBevel(*FBevelValue, p, box);
        if (FOptions & opUnit) {
            p.setFont(FFontValue->ToQFont());
            p.setPen(ToQColor(FFont->Color()));
            AlignedTextOut(p, FLayout.UnitPos.x(), FLayout.UnitPos.y(), 0, s.ValueUnit());
        }
    }
    p.setFont(FFont->ToQFont());
    p.setPen(ToQColor(FFont->Color()));
    // A caption wider than the fader is shortened with an ellipsis and kept
    // off the outer bevel.
    const QRect inside = FLayout.Content.ToQRect();
    const QFontMetrics names(p.font());
    const auto fit = [&](const QString& text) {
        return names.elidedText(text, Qt::ElideRight, std::max(inside.width(), 0));
    };
    p.save();
    p.setClipRect(inside);
    if (FOptions & opName2)
        AlignedTextOut(p, FLayout.NameX, FLayout.Name2Bottom, 7, fit(s.Name2()));
    if (FOptions & opName1)
        AlignedTextOut(p, FLayout.NameX, FLayout.Name1Bottom, 7, fit(s.Name1()));
    p.restore();
}

// The two scales and the framed trench.
void TSkVSlider::PaintTrench(QPainter& p) {
    FScaleSettings->SetPosLeftTop(true);
    DrawScale(*FScaleSettings, p, FLayout.LeftScale);
    FScaleSettings->SetPosLeftTop(false);
    DrawScale(*FScaleSettings, p, FLayout.RightScale);
    TSkRect trench = FLayout.TrenchOuter;
    Frame3D(p, trench, clBtnShadow, clBtnHighlight);
    FillRectColor(p, FLayout.TrenchRect, FColorTrench);
}

void TSkVSlider::Paint() {
    QImage picture(size(), QImage::Format_RGB32);
    PrepareScale();
    FLayout = LayoutVSlider(MeasureForLayout());
    FButtonSize = FLayout.ButtonSize;
    {
        QPainter p(&picture);
        PaintHead(p);
        if (!FLayout.TooSmall) PaintTrench(p);
    }
    if (!FLayout.TooSmall) {
        FTrackBackground = picture.copy(FLayout.TrackRect.ToQRect());
        SetKnobHitRect(FLayout.TrackRect);
        FBackgroundValid = true;
    } else {
        SetKnobHitRect({}); // no trench to slide in: a press must not jump the knob
    }
    CanvasRef() = std::move(picture);
    if (!FLayout.TooSmall) UpdateValueDisplay();
}

void TSkVSlider::UpdateValueDisplay() {
    TSkAnalogCControl::UpdateValueDisplay();
    if (FLayout.TooSmall || !isVisible() || !FBackgroundValid) return;
    if (CanvasRef().size() != size()) return; // resized since: the next paint shows it

    const TSignalSettings& s = *SignalSettings();
    const TSkRect& track = FLayout.TrackRect;
    const int y =
        KnobCentreRow(FTrackBackground.height(), FLayout.KnobLength, FLayout.TrenchRect.Height(),
                      s.DigitalSpan(), Digit(), s.DigitalFrom());
    const int x = FTrackBackground.width() / 2;
    FKnobCentre = QPoint(track.Left + x, track.Top + y);
    SetKnobHitRect(KnobHitRectFor(track, EnableMouseJump(), track.Top + y, FButtonSize));

    // The kept background, then the knob over it, clipped to the knob column.
    QPainter c(&CanvasRef());
    c.setClipRect(track.ToQRect());
    c.drawImage(QPoint(track.Left, track.Top), FTrackBackground);
    DrawKnob(c, FKnobCentre.x(), FKnobCentre.y(), FButtonSize, KnobColor());
    QRegion shown(track.ToQRect());
    if ((FOptions & opValue) && !FLayout.ValueBoxRect.IsEmpty()) {
        DrawValueText(c);
        shown += FLayout.ValueBoxRect.ToQRect();
    }
    c.end();
    ShowCanvasRegion(shown);
}

// The read-out, right-aligned at the top of its box. Laid-out texts are kept
// per font, so moving the knob does not shape the same digits again.
void TSkVSlider::DrawValueText(QPainter& c) {
    const TSkRect& box = FLayout.ValueBoxRect;
    c.setClipRect(box.ToQRect());
    FillRectColor(c, box, FBevelValue->Color());
    const QFont& font = FFontValue->ToQFont();
    if (font != FValueTextFont || FValueTexts.size() > 1024) {
        FValueTexts.clear();
        FValueTextFont = font;
    }
    auto it = FValueTexts.find(ValueText());
    if (it == FValueTexts.end()) {
        QStaticText text(ValueText());
        text.setTextFormat(Qt::PlainText);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        text.prepare(QTransform(), font);
        it = FValueTexts.insert(ValueText(),
                                {text, QFontMetrics(font).horizontalAdvance(ValueText())});
    }
    c.setFont(font);
    c.setPen(ToQColor(FFontValue->Color()));
    c.drawStaticText(QPoint(box.Right - it->width, box.Top), it->text);
}
