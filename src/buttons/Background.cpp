#include "buttons/Background.h"

#include <QPainter>

#include "buttons/Canvas.h"
#include "buttons/Shade.h"

ToxBackground::ToxBackground() {
    gradient_.SetEndColor(gradientEnd_);
}

void ToxBackground::Changed() {
    if (OnChange) OnChange();
}

void ToxBackground::SetStyle(ToxBackgroundStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed();
}

void ToxBackground::SetColor(TColor c) {
    if (c == color_) return;
    color_ = c;
    gradient_.FreeTable();
    if (OnColorChange) OnColorChange(c);
    Changed();
}

void ToxBackground::SetGradient(TColor c) {
    if (c == gradientEnd_) return;
    gradientEnd_ = c;
    gradient_.SetEndColor(c);
    Changed();
}

void ToxBackground::SetPicture(const QImage& picture) {
    picture_ = WithTransparentColorCut(picture);
    Changed();
}

void ToxBackground::SetDitherDown(bool d) {
    if (d == ditherDown_) return;
    ditherDown_ = d;
    Changed();
}

std::shared_ptr<const QImage> DitherPattern() {
    static std::weak_ptr<const QImage> shared;
    if (auto existing = shared.lock()) return existing;
    auto pattern = std::make_shared<QImage>(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern->setPixel(x, y, (x % 2) == (y % 2) ? 0xFFFFFFFFu : 0u);
    shared = pattern;
    return pattern;
}

namespace {

void PaintPicture(QPainter& p, const QRect& r, const QImage& pic, ToxBackgroundStyle style) {
    if (pic.isNull()) return;
    switch (style) {
    case ToxBackgroundStyle::oxbPictureClip:
        p.drawImage(r.left() + (r.width() - pic.width()) / 2,
                    r.top() + (r.height() - pic.height()) / 2, pic);
        break;
    case ToxBackgroundStyle::oxbPictureStretch:
        p.drawImage(r, pic);
        break;
    case ToxBackgroundStyle::oxbPicturePattern:
        for (int x = r.left(); x < r.left() + r.width(); x += pic.width())
            for (int y = r.top(); y < r.top() + r.height(); y += pic.height())
                p.drawImage(x, y, pic);
        break;
    default:
        break;
    }
}

} // namespace

void PaintBackground(ToxCanvas& canvas, const QRect& r, ToxBackground& background,
                     TColor resolvedColor) {
    if (r.isEmpty()) return;
    const ToxBackgroundStyle style = background.Style();
    if (style == ToxBackgroundStyle::oxbClear) {
        if (IsRelativeShade(background.Color())) canvas.FillRect(r, background.Color());
        return;
    }
    if (style == ToxBackgroundStyle::oxbGradient || style == ToxBackgroundStyle::oxbVertGradient) {
        TGradient& g = background.GradientTable();
        g.SetStartColor(resolvedColor);
        if (style == ToxBackgroundStyle::oxbVertGradient)
            g.PaintVertical(canvas.Image(), r);
        else
            g.PaintHorizontal(canvas.Image(), r, r);
        return;
    }
    canvas.FillRect(r, resolvedColor);
    QPainter p(&canvas.Image());
    p.setClipRect(r);
    PaintPicture(p, r, background.Picture(), style);
}

void PaintDither(ToxCanvas& canvas, const QRect& r, const QImage& pattern) {
    QPainter p(&canvas.Image());
    p.setClipRect(r);
    for (int y = r.top(); y < r.top() + r.height(); y += pattern.height())
        for (int x = r.left(); x < r.left() + r.width(); x += pattern.width())
            p.drawImage(x, y, pattern);
}
