// Painting of the vertical slider: the unchanging part of the picture kept
// until one of its inputs changes, the captions over it on each paint, then
// only the knob column and the read-out on each value change.

#include <algorithm>
#include <deque>

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

// Outer bevel, read-out box with its unit.
void TSkVSlider::PaintFace(QPainter& p) {
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
}

// The two caption lines.
void TSkVSlider::PaintNames(QPainter& p) {
    const TSignalSettings& s = *SignalSettings();
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

TVSliderPictureKey TSkVSlider::PictureKey() const {
    const TSignalSettings& s = *SignalSettings();
    return {size(),
            FOptions,
            ClampButtonSize(FButtonSize, width()),
            FColorTrench,
            BevelKeyOf(*FBevelOuter),
            BevelKeyOf(*FBevelValue),
            FontKeyOf(*FFont),
            FontKeyOf(*FFontValue),
            ScaleKeyOf(*FScaleSettings),
            s.ValueFrom(),
            s.ValueTo(),
            s.ValueUnit(),
            s.SampleText(),
            PaletteKeyNow()};
}

void TSkVSlider::SetKeepPicture(bool v) {
    FKeepPicture = v;
    if (!v) FKept = TKeptPicture();
}

// Everything drawn in the order the parts overlap: face, captions, trench.
void TSkVSlider::PaintAfresh() {
    ++FPaintsAfresh;
    QImage picture(size(), QImage::Format_RGB32);
    PrepareScale();
    FLayout = LayoutVSlider(MeasureForLayout());
    FButtonSize = FLayout.ButtonSize;
    {
        QPainter p(&picture);
        PaintFace(p);
        PaintNames(p);
        if (!FLayout.TooSmall) PaintTrench(p);
    }
    ShowPicture(std::move(picture), nullptr);
}

namespace {

// Faders alike in every input of the kept picture share one picture: the
// desk's 32 draw it once at start and once on each change of look.
struct TSharedPicture {
    TVSliderPictureKey Key;
    QImage Picture, TrackBackground;
    TVSliderLayout Layout;
    TRowSpan TrenchRows;
};
constexpr std::size_t SHARED_PICTURES = 4; // the newest looks in use
int SharedPictureDrawCount = 0;

std::deque<TSharedPicture>& SharedPictures() {
    static std::deque<TSharedPicture> pictures; // painting happens on the GUI thread only
    return pictures;
}

} // namespace

int TSkVSlider::SharedPictureDraws() {
    return SharedPictureDrawCount;
}

void TSkVSlider::BuildKeptPicture(TVSliderPictureKey key) {
    FKept = TKeptPicture();
    ++FPictureBuilds;
    // The scale's measures are this fader's own state, shared picture or not.
    PrepareScale();
    for (const TSharedPicture& shared : SharedPictures()) {
        if (!(shared.Key == key)) continue;
        FKept.Picture = shared.Picture;
        FKept.TrackBackground = shared.TrackBackground;
        FKept.Layout = FLayout = shared.Layout;
        FButtonSize = FLayout.ButtonSize;
        FKept.TrenchRows = shared.TrenchRows;
        FKept.Key = std::move(key);
        FKept.Valid = true;
        return;
    }
    FKept.Picture = QImage(size(), QImage::Format_RGB32);
    FLayout = LayoutVSlider(MeasureForLayout());
    FButtonSize = FLayout.ButtonSize;
    {
        QPainter p(&FKept.Picture);
        PaintFace(p);
        if (!FLayout.TooSmall) PaintTrench(p);
    }
    if (!FLayout.TooSmall) {
        FKept.TrackBackground = FKept.Picture.copy(FLayout.TrackRect.ToQRect());
        const int labels = (FOptions & opScaleText) ? FScaleSettings->LabelHeight : 0;
        FKept.TrenchRows = TrenchRows(FLayout, labels);
    }
    FKept.Layout = FLayout;
    FKept.Key = std::move(key);
    FKept.Valid = true;
    ++SharedPictureDrawCount;
    std::deque<TSharedPicture>& shared = SharedPictures();
    shared.push_front(
        {FKept.Key, FKept.Picture, FKept.TrackBackground, FKept.Layout, FKept.TrenchRows});
    if (shared.size() > SHARED_PICTURES) shared.pop_back();
}

// Captions are drawn before the trench. Over the kept picture they give the
// same pixels when they leave every row the trench, scales and knob column
// can touch as it was; measured once per pair of captions.
bool TSkVSlider::NamesClearOfTrench(const QImage& withNames) {
    if (FKept.Layout.TooSmall) return true;
    const TSignalSettings& s = *SignalSettings();
    const QString name1 = (FOptions & opName1) ? s.Name1() : QString();
    const QString name2 = (FOptions & opName2) ? s.Name2() : QString();
    if (FKept.NamesMeasured && name1 == FKept.Name1 && name2 == FKept.Name2)
        return FKept.NamesClear;
    FKept.Name1 = name1;
    FKept.Name2 = name2;
    FKept.NamesClear = RowsEqual(withNames, FKept.Picture, FKept.TrenchRows);
    FKept.NamesMeasured = true;
    return FKept.NamesClear;
}

void TSkVSlider::Paint() {
    if (!FKeepPicture) {
        PaintAfresh();
        return;
    }
    TVSliderPictureKey key = PictureKey();
    if (!FKept.Valid || !(FKept.Key == key)) BuildKeptPicture(std::move(key));
    FLayout = FKept.Layout;
    FButtonSize = FLayout.ButtonSize;
    QImage picture = FKept.Picture;
    const TSignalSettings& s = *SignalSettings();
    if (((FOptions & opName1) && !s.Name1().isEmpty()) ||
        ((FOptions & opName2) && !s.Name2().isEmpty())) {
        {
            QPainter p(&picture);
            PaintNames(p);
        }
        if (!NamesClearOfTrench(picture)) {
            PaintAfresh();
            return;
        }
    }
    ShowPicture(std::move(picture), &FKept.TrackBackground);
}

// Takes the picture as the canvas; the knob column's background comes from
// the kept one when given, else from the picture.
void TSkVSlider::ShowPicture(QImage picture, const QImage* trackBackground) {
    if (!FLayout.TooSmall) {
        FTrackBackground =
            trackBackground ? *trackBackground : picture.copy(FLayout.TrackRect.ToQRect());
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
    if (FValueDisplayHeld) return; // drawn with the whole fader at the batch's end
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
    ++FValueDisplayDraws;
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
