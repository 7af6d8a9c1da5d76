// The look of the button face: drawn properties, colour coupling, the
// appearance cache and painting.
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include "buttons/Button.h"
#include "buttons/Canvas.h"
#include "buttons/GraphicButton.h"
#include "buttons/Shade.h"

void ToxCustomGraphicButton::Redraw() {
    DropCache();
    update();
}

void ToxCustomGraphicButton::ShowOtherFace() {
    valid_.reset();
    update();
}

const ToxCustomGraphicButton::TKeptFace* ToxCustomGraphicButton::KeptFace(int slot) const {
    for (const TKeptFace& f : keptFaces_)
        if (f.Slot == slot && f.Value == value_ && f.Press == pressState_ && f.Color == color_ &&
            f.Background == background_.Color() && f.Caption == caption_)
            return &f;
    return nullptr;
}

void ToxCustomGraphicButton::KeepFace(int slot, const QImage& picture) {
    keptFaces_.push_front({caption_, color_, background_.Color(), value_, pressState_, slot,
                           picture, textRect_, pictureRect_});
    if (keptFaces_.size() > kKeptFaces) keptFaces_.pop_back();
}

void ToxCustomGraphicButton::SetStyle(ToxBtnStyle s) {
    style_ = s;
    // Every desktop this runs on has the flat, hot-tracking look.
    effectiveStyle_ = s == ToxBtnStyle::bsAuto ? ToxBtnStyle::bsWin97 : s;
    Redraw();
}

void ToxCustomGraphicButton::SetBorderInset(ToxBorderInset inset) {
    auto clampPair = [](int& a, int& b, int size) {
        a = std::clamp(a, 0, std::max(size, 0));
        b = std::clamp(b, 0, std::max(size - a, 0));
    };
    clampPair(inset.Left, inset.Right, width());
    clampPair(inset.Top, inset.Bottom, height());
    if (inset == inset_) return;
    inset_ = inset;
    Redraw();
}

void ToxCustomGraphicButton::SetBorderColors(ToxBorderColors c) {
    if (c == borderColors_) return;
    if (c == ToxBorderColors::oxbCustomColor) customBevel_ = CurrentBevel();
    borderColors_ = c;
    Redraw();
}

void ToxCustomGraphicButton::SetCustomBevel(TColor ToxBevelColors::*field, TColor c) {
    if (borderColors_ != ToxBorderColors::oxbCustomColor) customBevel_ = CurrentBevel();
    borderColors_ = ToxBorderColors::oxbCustomColor;
    customBevel_.*field = c;
    Redraw();
}

void ToxCustomGraphicButton::SetBtnLightColor(TColor c) {
    SetCustomBevel(&ToxBevelColors::Light, c);
}
void ToxCustomGraphicButton::SetBtnHighlightColor(TColor c) {
    SetCustomBevel(&ToxBevelColors::Highlight, c);
}
void ToxCustomGraphicButton::SetBtnShadowColor(TColor c) {
    SetCustomBevel(&ToxBevelColors::Shadow, c);
}
void ToxCustomGraphicButton::SetBtnDkShadowColor(TColor c) {
    SetCustomBevel(&ToxBevelColors::DkShadow, c);
}
void ToxCustomGraphicButton::SetShadowColor(TColor c) {
    SetCustomBevel(&ToxBevelColors::ShadowColor, c);
}

ToxBevelColors ToxCustomGraphicButton::CurrentBevel() const {
    if (borderColors_ == ToxBorderColors::oxbCustomColor) return customBevel_;
    return BevelColorsFor(borderColors_, ResolvedBackground());
}

void ToxCustomGraphicButton::SetColor(TColor c) {
    if (c == color_ && !parentColor_) return;
    const bool wasParentColor = parentColor_;
    parentColor_ = false;
    color_ = c;
    if (inset_.IsZero() && !syncingColor_) {
        syncingColor_ = true;
        background_.SetColor(c);
        syncingColor_ = false;
    }
    if (wasParentColor)
        Redraw();
    else
        ShowOtherFace();
}

void ToxCustomGraphicButton::OnBackgroundColor(TColor c) {
    if (!inset_.IsZero() || syncingColor_) return;
    syncingColor_ = true;
    SetColor(c);
    syncingColor_ = false;
}

void ToxCustomGraphicButton::SetParentColor(bool p) {
    if (p == parentColor_) return;
    parentColor_ = p;
    Redraw();
}

TColor ToxCustomGraphicButton::ContainerColor() const {
    const QWidget* container = Container();
    const QPalette& pal = container ? container->palette() : palette();
    const QWidget* w = container ? container : this;
    return FromQColor(pal.color(w->backgroundRole()));
}

TColor ToxCustomGraphicButton::FaceColor() const {
    return parentColor_ ? ContainerColor() : ColorToRGB(color_, palette()) & 0xFFFFFF;
}

TColor ToxCustomGraphicButton::ResolvedBackground() const {
    const TColor c = background_.Color();
    if (IsRelativeShade(c)) return ShadeColor(ContainerColor(), RelativeShadeAmount(c));
    if (parentColor_ && inset_.IsZero()) return ContainerColor();
    return ColorToRGB(c, palette()) & 0xFFFFFF;
}

void ToxCustomGraphicButton::SetFontColor(TColor c) {
    Store(fontColor_, c);
}

void ToxCustomGraphicButton::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    UpdateAccelerator();
    ShowOtherFace();
}

TCaptionStrings ToxCustomGraphicButton::Lines() {
    QPointer<ToxCustomGraphicButton> self(this);
    return TCaptionStrings([self] { return self ? self->Caption() : QString(); },
                           [self](const QString& text) {
                               if (self) self->SetCaption(text);
                           });
}

void ToxCustomGraphicButton::SetMultiLine(bool m) {
    Store(multiLine_, m);
}

void ToxCustomGraphicButton::SetFont3D(ToxFontStyle f) {
    Store(font3D_, f);
}

void ToxCustomGraphicButton::SetTextAngle(int degrees) {
    degrees = std::clamp(degrees, 0, 360);
    if (degrees == textAngle_) return;
    textAngle_ = degrees;
    Redraw();
}

void ToxCustomGraphicButton::SetTextX(int x) {
    Store(textX_, x);
}

void ToxCustomGraphicButton::SetTextY(int y) {
    Store(textY_, y);
}

void ToxCustomGraphicButton::SetPictureUp(const QImage& p) {
    pictures_.Up = WithTransparentColorCut(p);
    Redraw();
}
void ToxCustomGraphicButton::SetPictureDown(const QImage& p) {
    pictures_.Down = WithTransparentColorCut(p);
    Redraw();
}
void ToxCustomGraphicButton::SetPictureOver(const QImage& p) {
    pictures_.Over = WithTransparentColorCut(p);
    Redraw();
}
void ToxCustomGraphicButton::SetPictureDisabled(const QImage& p) {
    pictures_.Disabled = WithTransparentColorCut(p);
    Redraw();
}

void ToxCustomGraphicButton::SetPictureX(int x) {
    Store(pictureX_, x);
}

void ToxCustomGraphicButton::SetPictureY(int y) {
    Store(pictureY_, y);
}

void ToxCustomGraphicButton::SetOptions(ToxButtonOptions o) {
    if (o == options_) return;
    options_ = o;
    ReleaseCache();
    Redraw();
}

void ToxCustomGraphicButton::SetFocusStyle(ToxFocusStyle f) {
    Store(focusStyle_, f);
}

// The strip is made again at the next paint: a face is sized several times
// before it is first shown, and a start should not allocate strips no one sees.
void ToxCustomGraphicButton::ReleaseCache() {
    DropCache();
    cache_ = QImage();
}

void ToxCustomGraphicButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ReleaseCache();
}

void ToxCustomGraphicButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        UpdateHotFromCursor();
        Redraw();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::ParentChange:
        Redraw();
        break;
    default:
        break;
    }
}

ToxFaceLook ToxCustomGraphicButton::StateLook() const {
    ToxFaceLook l;
    l.Style = effectiveStyle_;
    l.Type = type_;
    l.PressState = pressState_;
    l.Enabled = isEnabled();
    l.Value = value_;
    l.Hot = hot_;
    l.Focused = focused_;
    l.IsDefault = default_;
    l.Grayed = grayed_;
    l.FocusStyle = focusStyle_;
    l.Pictures = pictures_;
    return l;
}

ToxFaceLook ToxCustomGraphicButton::MakeLook() const {
    ToxFaceLook l = StateLook();
    l.InWrapper = wrapper_ != nullptr;
    l.Color = FaceColor();
    l.ResolvedBackground = ResolvedBackground();
    l.ParentColor = ContainerColor();
    l.Background = const_cast<ToxBackground*>(&background_);
    l.Dither = dither_.get();
    l.Inset = inset_;
    l.BorderColors = borderColors_;
    l.Bevel = CurrentBevel();
    l.Caption = caption_;
    l.MultiLine = multiLine_;
    l.Font3D = font3D_;
    l.TextAngle = textAngle_;
    l.TextX = textX_;
    l.TextY = textY_;
    l.Font = font();
    l.FontColor = fontColor_;
    l.PictureX = pictureX_;
    l.PictureY = pictureY_;
    l.Options = options_;
    l.Palette = palette();
    return l;
}

int ToxCustomGraphicButton::CurrentSlot() const {
    return AppearanceSlot(StateLook());
}

void ToxCustomGraphicButton::PaintTo(QPainter& painter) {
    const int w = width(), h = height();
    if (w <= 0 || h <= 0) return;
    if ((options_ & oxbCacheImages) && cache_.size() != QSize(w * kAppearanceSlots, h)) {
        DropCache();
        cache_ = QImage(w * kAppearanceSlots, h, QImage::Format_RGB32);
    }
    const int slot = CurrentSlot();
    const bool clear = background_.Style() == ToxBackgroundStyle::oxbClear;
    const bool cached = !clear && !cache_.isNull() && (options_ & oxbCacheImages);
    if (cached && valid_[slot]) {
        painter.drawImage(QPoint(0, 0), cache_, QRect(w * slot, 0, w, h));
        return;
    }
    // A face of a container's colour follows the container: never kept.
    const bool keep = cached && !parentColor_;
    if (const TKeptFace* kept = keep ? KeptFace(slot) : nullptr) {
        textRect_ = kept->TextRect;
        pictureRect_ = kept->PictureRect;
        painter.drawImage(QPoint(0, 0), kept->Picture);
        return;
    }
    if (background_.DitherDown() && !dither_) dither_ = DitherPattern();
    QImage image(w, h, clear ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (clear) {
        image.fill(Qt::transparent);
        if (QWidget* container = Container(); container && IsRelativeShade(background_.Color()))
            container->render(&image, QPoint(),
                              QRegion(wrapper_ ? wrapper_->geometry() : geometry()),
                              QWidget::DrawWindowBackground);
    }
    const ToxPaintResult result = PaintFace(image, MakeLook());
    textRect_ = result.TextRect;
    pictureRect_ = result.PictureRect;
    ++drawCount_;
    if (cached) {
        QPainter c(&cache_);
        c.setCompositionMode(QPainter::CompositionMode_Source);
        c.drawImage(QPoint(w * slot, 0), image);
        valid_.set(slot);
    }
    if (keep) KeepFace(slot, image);
    painter.drawImage(QPoint(0, 0), image);
}

void ToxCustomGraphicButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintTo(painter);
}
