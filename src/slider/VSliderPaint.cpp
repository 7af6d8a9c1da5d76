// Painting of the vertical slider: the unchanging part of the picture kept
// until one of its inputs changes, the captions over it on each paint, then
// only the knob column and the read-out on each value change.

#include <algorithm>
#include <cstring>
#include <deque>

#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>

#include "slider/VSlider.h"

namespace {

// Plain text shaped once for the font, to be drawn again without shaping.
QStaticText LaidOut(const QString& text, const QFont& font) {
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), font);
    return laid;
}

} // namespace

void TSkVSlider::PrepareScale() {
    const TSignalSettings& s = *SignalSettings();
    TScaleSettings& scale = *FScaleSettings;
    // Tick lengths from the label font.
    MeasureScaleHorizontal(scale, s.ValueFrom(), s.ValueTo(), FKeepPicture);
    if (FOptions & opScaleText) {
        MeasureScaleVertical(scale, s.ValueFrom(), s.ValueTo(), FKeepPicture);
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
    const QFont& value = FFontValue->ToQFont();
    in.SampleWidth = TextAdvance(value, SignalSettings()->SampleText(), FKeepPicture);
    in.SampleHeight = TextHeight(value, FKeepPicture);
    in.UnitWidth = TextAdvance(value, SignalSettings()->ValueUnit(), FKeepPicture);
    in.NameLineHeight = TextHeight(FFont->ToQFont(), FKeepPicture);
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
    const QFont& font = FFont->ToQFont();
    p.setFont(font);
    p.setPen(ToQColor(FFont->Color()));
    // A caption wider than the fader is shortened with an ellipsis and kept
    // off the outer bevel.
    const QRect inside = FLayout.Content.ToQRect();
    const int width = std::max(inside.width(), 0);
    const auto draw = [&](int bottom, const QString& text) {
        if (text.isEmpty()) return;
        if (!FKeepPicture) { // fitted and shaped afresh
            const QString fitted = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
            AlignedTextOut(p, FLayout.NameX, bottom, 7, fitted);
            return;
        }
        // As AlignedTextOut places it: centred on NameX, the bottom at the row.
        const TFittedName& f = FitName(font, width, text);
        if (f.Text.isEmpty()) return;
        p.drawStaticText(QPoint(FLayout.NameX - f.Advance / 2, bottom - TextHeight(font)), f.Laid);
    };
    p.save();
    p.setClipRect(inside);
    if (FOptions & opName2) draw(FLayout.Name2Bottom, s.Name2());
    if (FOptions & opName1) draw(FLayout.Name1Bottom, s.Name1());
    p.restore();
}

// Shaping a caption to shorten, centre and draw it costs more than the
// drawing, and a page switch shows the same captions again: each is laid out
// once for the font and width, and kept while they stay.
const TSkVSlider::TFittedName& TSkVSlider::FitName(const QFont& font, int width,
                                                   const QString& text) {
    if (font != FNameFont || width != FNameWidth || FNameFits.size() > 256) {
        FNameFits.clear();
        FNameFont = font;
        FNameWidth = width;
    }
    auto it = FNameFits.find(text);
    if (it == FNameFits.end()) {
        const QFontMetrics metrics(font);
        TFittedName f;
        f.Text = metrics.elidedText(text, Qt::ElideRight, width);
        f.Advance = metrics.horizontalAdvance(f.Text);
        f.Laid = LaidOut(f.Text, font);
        it = FNameFits.insert(text, f);
    }
    return *it;
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
    if (!v) {
        FKept = TKeptPicture();
        FCanvasOverKept = false;
    }
}

std::pair<QString, QString> TSkVSlider::ShownNames() const {
    const TSignalSettings& s = *SignalSettings();
    return {(FOptions & opName1) ? s.Name1() : QString(),
            (FOptions & opName2) ? s.Name2() : QString()};
}

// Everything drawn in the order the parts overlap: face, captions, trench.
void TSkVSlider::PaintAfresh() {
    ++FPaintsAfresh;
    FCanvasOverKept = false;
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
    auto names = ShownNames();
    if (const auto it = FKept.NamesClear.constFind(names); it != FKept.NamesClear.cend())
        return *it;
    if (FKept.NamesClear.size() >= 1024) FKept.NamesClear.clear();
    const bool clear = RowsEqual(withNames, FKept.Picture, FKept.TrenchRows);
    FKept.NamesClear.insert(std::move(names), clear);
    return clear;
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
    auto [name1, name2] = ShownNames();
    if (!name1.isEmpty() || !name2.isEmpty()) {
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
    FCanvasOverKept = !FLayout.TooSmall;
    FCanvasName1 = std::move(name1);
    FCanvasName2 = std::move(name2);
}

// A batch that left the kept picture's inputs alone: the rows the captions
// and read-out live in go back to the kept picture, new captions are drawn
// there, and the knob column and read-out are drawn as on any value change.
// The same pixels as a full paint, without copying the whole picture.
bool TSkVSlider::RedrawOverKept() {
    if (!FKeepPicture || !FCanvasOverKept || !FKept.Valid || !isVisible()) return false;
    QImage& canvas = CanvasRef();
    if (canvas.size() != size() || !(FKept.Key == PictureKey())) return false;
    auto [name1, name2] = ShownNames();
    QRegion shown;
    if (name1 != FCanvasName1 || name2 != FCanvasName2) {
        const TRowSpan trench = FKept.TrenchRows;
        const int first = std::clamp(trench.First, 0, canvas.height());
        const int last = std::clamp(trench.Last, first - 1, canvas.height() - 1);
        const auto bytes = static_cast<std::size_t>(canvas.bytesPerLine());
        for (int y = 0; y < canvas.height(); ++y)
            if (y < first || y > last)
                std::memcpy(canvas.scanLine(y), FKept.Picture.constScanLine(y), bytes);
        {
            QPainter p(&canvas);
            p.drawImage(FLayout.TrackRect.ToQRect().topLeft(), FKept.TrackBackground);
            PaintNames(p);
        }
        // Now the kept picture with only the new captions over it.
        if (!NamesClearOfTrench(canvas)) {
            FCanvasOverKept = false;
            return false;
        }
        shown += QRect(0, 0, canvas.width(), first);
        shown += QRect(0, last + 1, canvas.width(), canvas.height() - last - 1);
        FCanvasName1 = std::move(name1);
        FCanvasName2 = std::move(name2);
    }
    ++FRedrawsOverKept;
    MarkPainted();
    UpdateValueDisplay();
    ShowCanvasRegion(shown);
    return true;
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
    if (FKeepPicture) {
        const TSkRect knob = KnobRect(FKnobCentre.x(), FKnobCentre.y(), FButtonSize);
        c.drawImage(QPoint(knob.Left, knob.Top), KnobPicture(FButtonSize, KnobColor()));
    } else {
        DrawKnob(c, FKnobCentre.x(), FKnobCentre.y(), FButtonSize, KnobColor());
    }
    QRegion shown(track.ToQRect());
    if ((FOptions & opValue) && !FLayout.ValueBoxRect.IsEmpty()) {
        DrawValueText(c);
        shown += FLayout.ValueBoxRect.ToQRect();
    }
    c.end();
    ShowCanvasRegion(shown);
}

namespace {

// What a read-out box is drawn for, besides its text.
struct TValueBoxKey {
    QFont Font;
    QSize Box;
    TColor Back = 0, Ink = 0;
    qint64 Palette = 0;
    bool operator==(const TValueBoxKey&) const = default;
};

// A read-out text laid out once, and its whole box once drawn.
struct TValueBox {
    QStaticText Text;
    int Width = 0;
    QImage Picture;
};

// Faders alike share them: one per level shown, not one per fader; kept for
// the newest few looks in use.
TValueBox& ValueBoxFor(const TValueBoxKey& key, const QString& text) {
    static std::deque<std::pair<TValueBoxKey, QHash<QString, TValueBox>>> looks; // GUI thread
    auto look =
        std::find_if(looks.begin(), looks.end(), [&](const auto& l) { return l.first == key; });
    if (look == looks.end()) {
        looks.emplace_front(key, QHash<QString, TValueBox>());
        if (looks.size() > 4) looks.pop_back();
        look = looks.begin();
    }
    QHash<QString, TValueBox>& boxes = look->second;
    if (boxes.size() > 1024) boxes.clear();
    auto it = boxes.find(text);
    if (it == boxes.end()) {
        TValueBox box;
        box.Text = LaidOut(text, key.Font);
        box.Width = QFontMetrics(key.Font).horizontalAdvance(text);
        it = boxes.insert(text, box);
    }
    return *it;
}

} // namespace

// The read-out, right-aligned at the top of its box. Laid-out texts are kept,
// so moving the knob does not shape the same digits again; with the picture
// kept, the whole box is kept per text and copied.
void TSkVSlider::DrawValueText(QPainter& c) {
    const TSkRect& box = FLayout.ValueBoxRect;
    c.setClipRect(box.ToQRect());
    const QFont& font = FFontValue->ToQFont();
    TValueBox& kept = ValueBoxFor(
        {font, box.ToQRect().size(), FBevelValue->Color(), FFontValue->Color(), PaletteKeyNow()},
        ValueText());
    const auto draw = [&](QPainter& p, const TSkRect& r) {
        FillRectColor(p, r, FBevelValue->Color());
        p.setFont(font);
        p.setPen(ToQColor(FFontValue->Color()));
        p.drawStaticText(QPoint(r.Right - kept.Width, r.Top), kept.Text);
    };
    // A box of no colour shows what was there before: that is never kept.
    if (!FKeepPicture || !ToQColor(FBevelValue->Color()).isValid()) {
        draw(c, box);
        return;
    }
    if (kept.Picture.isNull()) {
        kept.Picture = QImage(box.ToQRect().size(), QImage::Format_RGB32);
        QPainter p(&kept.Picture);
        draw(p, {0, 0, box.Width(), box.Height()});
    }
    c.drawImage(QPoint(box.Left, box.Top), kept.Picture);
}

// The knob drawn into a picture of its own, kept per size, colour and palette
// for all faders: moving a knob copies it.
const QImage& TSkVSlider::KnobPicture(int size, TColor color) {
    struct TKnob {
        int Size;
        TColor Color;
        qint64 Palette;
        QImage Picture;
    };
    static std::deque<TKnob> kept; // painting happens on the GUI thread only
    const qint64 palette = PaletteKeyNow();
    for (const TKnob& k : kept)
        if (k.Size == size && k.Color == color && k.Palette == palette) return k.Picture;
    const TSkRect r = KnobRect(0, 0, size);
    QImage picture(r.Width(), r.Height(), QImage::Format_RGB32);
    {
        QPainter p(&picture);
        p.translate(-r.Left, -r.Top);
        DrawKnob(p, 0, 0, size, color);
    }
    kept.push_front({size, color, palette, std::move(picture)});
    if (kept.size() > 16) kept.pop_back();
    return kept.front().Picture;
}
