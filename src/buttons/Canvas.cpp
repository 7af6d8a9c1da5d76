#include "buttons/Canvas.h"

#include <QPainter>

#include "buttons/Shade.h"

namespace {

QRgb ToRgb(TColor c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromRgb(QRgb p) {
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

} // namespace

TColor ToxCanvas::Resolve(TColor c) const {
    if (c == clNone || IsRelativeShade(c)) return c;
    return ColorToRGB(c, palette_) & 0xFFFFFF;
}

void ToxCanvas::FillRect(const QRect& r, TColor c) {
    const QRect clipped = r.intersected(image_.rect());
    if (clipped.isEmpty() || c == clNone) return;
    if (IsRelativeShade(c)) {
        ShadeRect(clipped, RelativeShadeAmount(c));
        return;
    }
    const QRgb rgb = ToRgb(Resolve(c));
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            line[x] = rgb;
    }
}

void ToxCanvas::ShadeRect(const QRect& r, int amount) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const int alpha = qAlpha(line[x]);
            const TColor shaded = ShadeColor(FromRgb(line[x]), amount);
            line[x] = qRgba(GetRValue(shaded), GetGValue(shaded), GetBValue(shaded), alpha);
        }
    }
}

void ToxCanvas::Bevel(QRect& r, TColor topLeft, TColor bottomRight, int width) {
    // Inclusive corners: right and bottom pulled in by one pixel.
    int left = r.left(), top = r.top();
    int right = r.left() + r.width() - 1, bottom = r.top() + r.height() - 1;
    for (int ring = 0; ring < width; ++ring) {
        if (right < left || bottom < top) break;
        FillRect(QRect(QPoint(left, top + 1), QPoint(left, bottom)), topLeft);
        FillRect(QRect(QPoint(left, top), QPoint(right, top)), topLeft);
        FillRect(QRect(QPoint(right, top), QPoint(right, bottom - 1)), bottomRight);
        FillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), bottomRight);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    r = QRect(QPoint(left, top), QPoint(right, bottom));
}

void ToxCanvas::FocusRect(const QRect& r) {
    if (r.isEmpty()) return;
    auto invert = [this](int x, int y) {
        if (!image_.rect().contains(x, y)) return;
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        line[x] = line[x] ^ 0x00FFFFFFu;
    };
    const int left = r.left(), top = r.top(), right = r.right(), bottom = r.bottom();
    // Every other pixel along the outline, counted round from the top-left.
    int n = 0;
    for (int x = left; x <= right; ++x, ++n)
        if (n % 2 == 0) invert(x, top);
    for (int y = top + 1; y <= bottom; ++y, ++n)
        if (n % 2 == 0) invert(right, y);
    if (bottom > top)
        for (int x = right - 1; x >= left; --x, ++n)
            if (n % 2 == 0) invert(x, bottom);
    if (right > left)
        for (int y = bottom - 1; y > top; --y, ++n)
            if (n % 2 == 0) invert(left, y);
}

void ToxCanvas::Silhouette(const QImage& mask, int x, int y, TColor c) {
    if (mask.isNull() || c == clNone) return;
    const bool relative = IsRelativeShade(c);
    const int amount = relative ? RelativeShadeAmount(c) : 0;
    const QRgb rgb = relative ? 0 : ToRgb(Resolve(c));
    for (int my = 0; my < mask.height(); ++my) {
        const int ty = y + my;
        if (ty < 0 || ty >= image_.height()) continue;
        const auto* src = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
        auto* dst = reinterpret_cast<QRgb*>(image_.scanLine(ty));
        for (int mx = 0; mx < mask.width(); ++mx) {
            const int tx = x + mx;
            if (tx < 0 || tx >= image_.width() || qAlpha(src[mx]) < 128) continue;
            if (relative) {
                const TColor shaded = ShadeColor(FromRgb(dst[tx]), amount);
                dst[tx] = ToRgb(shaded) | (dst[tx] & 0xFF000000u);
            } else {
                dst[tx] = rgb;
            }
        }
    }
}

QImage WithTransparentColorCut(const QImage& picture) {
    if (picture.isNull()) return picture;
    if (picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_ARGB32);
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = out.pixel(0, out.height() - 1) & 0x00FFFFFFu;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == transparent) line[x] = 0;
    }
    return out;
}

QImage PictureMask(const QImage& picture) {
    if (picture.isNull()) return picture;
    QImage mask(picture.size(), QImage::Format_ARGB32);
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            out[x] = qAlpha(in[x]) >= 128 ? 0xFF000000u : 0u;
    }
    return mask;
}

QImage GrayedPicture(const QImage& picture) {
    if (picture.isNull()) return picture;
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int mean = (qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3;
            line[x] = qRgba(mean, mean, mean, qAlpha(line[x]));
        }
    }
    return out;
}
