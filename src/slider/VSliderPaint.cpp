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
    TScaleSettings& scale = *scaleSettings_;
    // Tick lengths from the label font.
    MeasureScaleHorizontal(scale, s.ValueFrom(), s.ValueTo(), keepPicture_);
    if (options_ & opScaleText) {
        MeasureScaleVertical(scale, s.ValueFrom(), s.ValueTo(), keepPicture_);
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
    in.Options = options_;
    in.BevelOuter = bevelOuter_;
    in.BevelValue = bevelValue_;
    const QFont& value = fontValue_->ToQFont();
    in.SampleWidth = TextAdvance(value, SignalSettings()->SampleText(), keepPicture_);
    in.SampleHeight = TextHeight(value, keepPicture_);
    in.UnitWidth = TextAdvance(value, SignalSettings()->ValueUnit(), keepPicture_);
    in.NameLineHeight = TextHeight(font_->ToQFont(), keepPicture_);
    in.LabelHeight = scaleSettings_->LabelHeight;
    in.ScaleWidth = scaleSettings_->ScaleWidth;
    in.ButtonSize = buttonSize_;
    return in;
}

// Outer bevel, read-out box with its unit.
void TSkVSlider::PaintFace(QPainter& p) {
    TSkRect r{0, 0, width(), height()};
    if (options_ & opBevelOuter)
        DrawBevel(*bevelOuter_, p, r);
    else
        FillRectColor(p, {-1, -1, width() + 1, height() + 1}, bevelOuter_->Color());

    const TSignalSettings& s = *SignalSettings();
    if (options_ & opValue) {
        TSkRect box = layout_.ValueBevel;
        DrawBevel(*bevelValue_, p, box);
        if (options_ & opUnit) {
            p.setFont(fontValue_->ToQFont());
            p.setPen(ToQColor(font_->Color()));
            AlignedTextOut(p, layout_.UnitPos.x(), layout_.UnitPos.y(), 0, s.ValueUnit());
        }
    }
}

// The two caption lines.
void TSkVSlider::PaintNames(QPainter& p) {
    const TSignalSettings& s = *SignalSettings();
    const QFont& font = font_->ToQFont();
    p.setFont(font);
    p.setPen(ToQColor(font_->Color()));
    // A caption wider than the fader is shortened with an ellipsis and kept
    // off the outer bevel.
    const QRect inside = layout_.Content.ToQRect();
    const int width = std::max(inside.width(), 0);
    const auto draw = [&](int bottom, const QString& text) {
        if (text.isEmpty()) return;
        if (!keepPicture_) { // fitted and shaped afresh
            const QString fitted = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
            AlignedTextOut(p, layout_.NameX, bottom, 7, fitted);
            return;
        }
        // As AlignedTextOut places it: centred on NameX, the bottom at the row.
        const TFittedName& f = FitName(font, width, text);
        if (f.Text.isEmpty()) return;
        p.drawStaticText(QPoint(layout_.NameX - f.Advance / 2, bottom - TextHeight(font)), f.Laid);
    };
    p.save();
    p.setClipRect(inside);
    if (options_ & opName2) draw(layout_.Name2Bottom, s.Name2());
    if (options_ & opName1) draw(layout_.Name1Bottom, s.Name1());
    p.restore();
}

// Shaping a caption to shorten, centre and draw it costs more than the
// drawing, and a page switch shows the same captions again: each is laid out
// once for the font and width, and kept while they stay.
const TSkVSlider::TFittedName& TSkVSlider::FitName(const QFont& font, int width,
                                                   const QString& text) {
    if (font != nameFont_ || width != nameWidth_ || nameFits_.size() > 256) {
        nameFits_.clear();
        nameFont_ = font;
        nameWidth_ = width;
    }
    auto it = nameFits_.find(text);
    if (it == nameFits_.end()) {
        const QFontMetrics metrics(font);
        TFittedName f;
        f.Text = metrics.elidedText(text, Qt::ElideRight, width);
        f.Advance = metrics.horizontalAdvance(f.Text);
        f.Laid = LaidOut(f.Text, font);
        it = nameFits_.insert(text, f);
    }
    return *it;
}

// The two scales and the framed trench.
void TSkVSlider::PaintTrench(QPainter& p) {
    scaleSettings_->SetPosLeftTop(true);
    DrawScale(*scaleSettings_, p, layout_.LeftScale);
    scaleSettings_->SetPosLeftTop(false);
    DrawScale(*scaleSettings_, p, layout_.RightScale);
    TSkRect trench = layout_.TrenchOuter;
    Frame3D(p, trench, clBtnShadow, clBtnHighlight);
    FillRectColor(p, layout_.TrenchRect, colorTrench_);
}

TVSliderPictureKey TSkVSlider::PictureKey() const {
    const TSignalSettings& s = *SignalSettings();
    return {size(),
            options_,
            ClampButtonSize(buttonSize_, width()),
            colorTrench_,
            BevelKeyOf(*bevelOuter_),
            BevelKeyOf(*bevelValue_),
            FontKeyOf(*font_),
            FontKeyOf(*fontValue_),
            ScaleKeyOf(*scaleSettings_),
            s.ValueFrom(),
            s.ValueTo(),
            s.ValueUnit(),
            s.SampleText(),
            PaletteKeyNow()};
}

void TSkVSlider::SetKeepPicture(bool v) {
    keepPicture_ = v;
    if (!v) {
        kept_ = TKeptPicture();
        canvasOverKept_ = false;
    }
}

std::pair<QString, QString> TSkVSlider::ShownNames() const {
    const TSignalSettings& s = *SignalSettings();
    return {(options_ & opName1) ? s.Name1() : QString(),
            (options_ & opName2) ? s.Name2() : QString()};
}

// Everything drawn in the order the parts overlap: face, captions, trench.
void TSkVSlider::PaintAfresh() {
    ++paintsAfresh_;
    canvasOverKept_ = false;
    QImage picture(size(), QImage::Format_RGB32);
    PrepareScale();
    layout_ = LayoutVSlider(MeasureForLayout());
    buttonSize_ = layout_.ButtonSize;
    {
        QPainter p(&picture);
        PaintFace(p);
        PaintNames(p);
        if (!layout_.TooSmall) PaintTrench(p);
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
    kept_ = TKeptPicture();
    ++pictureBuilds_;
    // The scale's measures are this fader's own state, shared picture or not.
    PrepareScale();
    for (const TSharedPicture& shared : SharedPictures()) {
        if (!(shared.Key == key)) continue;
        kept_.Picture = shared.Picture;
        kept_.TrackBackground = shared.TrackBackground;
        kept_.Layout = layout_ = shared.Layout;
        buttonSize_ = layout_.ButtonSize;
        kept_.TrenchRows = shared.TrenchRows;
        kept_.Key = std::move(key);
        kept_.Valid = true;
        return;
    }
    kept_.Picture = QImage(size(), QImage::Format_RGB32);
    layout_ = LayoutVSlider(MeasureForLayout());
    buttonSize_ = layout_.ButtonSize;
    {
        QPainter p(&kept_.Picture);
        PaintFace(p);
        if (!layout_.TooSmall) PaintTrench(p);
    }
    if (!layout_.TooSmall) {
        kept_.TrackBackground = kept_.Picture.copy(layout_.TrackRect.ToQRect());
        const int labels = (options_ & opScaleText) ? scaleSettings_->LabelHeight : 0;
        kept_.TrenchRows = TrenchRows(layout_, labels);
    }
    kept_.Layout = layout_;
    kept_.Key = std::move(key);
    kept_.Valid = true;
    ++SharedPictureDrawCount;
    std::deque<TSharedPicture>& shared = SharedPictures();
    shared.push_front(
        {kept_.Key, kept_.Picture, kept_.TrackBackground, kept_.Layout, kept_.TrenchRows});
    if (shared.size() > SHARED_PICTURES) shared.pop_back();
}

// Captions are drawn before the trench. Over the kept picture they give the
// same pixels when they leave every row the trench, scales and knob column
// can touch as it was; measured once per pair of captions.
bool TSkVSlider::NamesClearOfTrench(const QImage& withNames) {
    if (kept_.Layout.TooSmall) return true;
    auto names = ShownNames();
    if (const auto it = kept_.NamesClear.constFind(names); it != kept_.NamesClear.cend())
        return *it;
    if (kept_.NamesClear.size() >= 1024) kept_.NamesClear.clear();
    const bool clear = RowsEqual(withNames, kept_.Picture, kept_.TrenchRows);
    kept_.NamesClear.insert(std::move(names), clear);
    return clear;
}

void TSkVSlider::Paint() {
    if (!keepPicture_) {
        PaintAfresh();
        return;
    }
    TVSliderPictureKey key = PictureKey();
    if (!kept_.Valid || !(kept_.Key == key)) BuildKeptPicture(std::move(key));
    layout_ = kept_.Layout;
    buttonSize_ = layout_.ButtonSize;
    QImage picture = kept_.Picture;
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
    ShowPicture(std::move(picture), &kept_.TrackBackground);
    canvasOverKept_ = !layout_.TooSmall;
    canvasName1_ = std::move(name1);
    canvasName2_ = std::move(name2);
}

// A batch that left the kept picture's inputs alone: the rows the captions
// and read-out live in go back to the kept picture, new captions are drawn
// there, and the knob column and read-out are drawn as on any value change.
// The same pixels as a full paint, without copying the whole picture.
bool TSkVSlider::RedrawOverKept() {
    if (!keepPicture_ || !canvasOverKept_ || !kept_.Valid || !isVisible()) return false;
    QImage& canvas = CanvasRef();
    if (canvas.size() != size() || !(kept_.Key == PictureKey())) return false;
    auto [name1, name2] = ShownNames();
    QRegion shown;
    if (name1 != canvasName1_ || name2 != canvasName2_) {
        const TRowSpan trench = kept_.TrenchRows;
        const int first = std::clamp(trench.First, 0, canvas.height());
        const int last = std::clamp(trench.Last, first - 1, canvas.height() - 1);
        const auto bytes = static_cast<std::size_t>(canvas.bytesPerLine());
        for (int y = 0; y < canvas.height(); ++y)
            if (y < first || y > last)
                std::memcpy(canvas.scanLine(y), kept_.Picture.constScanLine(y), bytes);
        {
            QPainter p(&canvas);
            p.drawImage(layout_.TrackRect.ToQRect().topLeft(), kept_.TrackBackground);
            PaintNames(p);
        }
        // Now the kept picture with only the new captions over it.
        if (!NamesClearOfTrench(canvas)) {
            canvasOverKept_ = false;
            return false;
        }
        shown += QRect(0, 0, canvas.width(), first);
        shown += QRect(0, last + 1, canvas.width(), canvas.height() - last - 1);
        canvasName1_ = std::move(name1);
        canvasName2_ = std::move(name2);
    }
    ++redrawsOverKept_;
    MarkPainted();
    UpdateValueDisplay();
    ShowCanvasRegion(shown);
    return true;
}

// Takes the picture as the canvas; the knob column's background comes from
// the kept one when given, else from the picture.
void TSkVSlider::ShowPicture(QImage picture, const QImage* trackBackground) {
    if (!layout_.TooSmall) {
        trackBackground_ =
            trackBackground ? *trackBackground : picture.copy(layout_.TrackRect.ToQRect());
        SetKnobHitRect(layout_.TrackRect);
        backgroundValid_ = true;
    } else {
        SetKnobHitRect({}); // no trench to slide in: a press must not jump the knob
    }
    CanvasRef() = std::move(picture);
    if (!layout_.TooSmall) UpdateValueDisplay();
}

void TSkVSlider::UpdateValueDisplay() {
    TSkAnalogCControl::UpdateValueDisplay();
    if (valueDisplayHeld_) return; // drawn with the whole fader at the batch's end
    if (layout_.TooSmall || !isVisible() || !backgroundValid_) return;
    if (CanvasRef().size() != size()) return; // resized since: the next paint shows it

    const TSignalSettings& s = *SignalSettings();
    const TSkRect& track = layout_.TrackRect;
    const int y =
        KnobCentreRow(trackBackground_.height(), layout_.KnobLength, layout_.TrenchRect.Height(),
                      s.DigitalSpan(), Digit(), s.DigitalFrom());
    const int x = trackBackground_.width() / 2;
    knobCentre_ = QPoint(track.Left + x, track.Top + y);
    SetKnobHitRect(KnobHitRectFor(track, EnableMouseJump(), track.Top + y, buttonSize_));

    // The kept background, then the knob over it, clipped to the knob column.
    ++valueDisplayDraws_;
    QPainter c(&CanvasRef());
    c.setClipRect(track.ToQRect());
    c.drawImage(QPoint(track.Left, track.Top), trackBackground_);
    if (keepPicture_) {
        const TSkRect knob = KnobRect(knobCentre_.x(), knobCentre_.y(), buttonSize_);
        c.drawImage(QPoint(knob.Left, knob.Top), KnobPicture(buttonSize_, KnobColor()));
    } else {
        DrawKnob(c, knobCentre_.x(), knobCentre_.y(), buttonSize_, KnobColor());
    }
    QRegion shown(track.ToQRect());
    if ((options_ & opValue) && !layout_.ValueBoxRect.IsEmpty()) {
        DrawValueText(c);
        shown += layout_.ValueBoxRect.ToQRect();
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
    const TSkRect& box = layout_.ValueBoxRect;
    c.setClipRect(box.ToQRect());
    const QFont& font = fontValue_->ToQFont();
    TValueBox& kept = ValueBoxFor(
        {font, box.ToQRect().size(), bevelValue_->Color(), fontValue_->Color(), PaletteKeyNow()},
        ValueText());
    const auto draw = [&](QPainter& p, const TSkRect& r) {
        FillRectColor(p, r, bevelValue_->Color());
        p.setFont(font);
        p.setPen(ToQColor(fontValue_->Color()));
        p.drawStaticText(QPoint(r.Right - kept.Width, r.Top), kept.Text);
    };
    // A box of no colour shows what was there before: that is never kept.
    if (!keepPicture_ || !ToQColor(bevelValue_->Color()).isValid()) {
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
