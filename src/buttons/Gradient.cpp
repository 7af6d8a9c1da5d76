#include "buttons/Gradient.h"

#include <cmath>
#include <stdexcept>

#include <algorithm>

#include <QImage>
#include <QRect>

TGradientBand GradientBand(int i, int n, int from, int to) {
    const float step = static_cast<float>(to - from) / static_cast<float>(n);
    TGradientBand band;
    band.Pos = from + static_cast<int>(std::trunc(static_cast<float>(i) * step));
    band.Size = static_cast<int>(std::trunc(step + 1.0f));
    return band;
}

void TGradient::SetStartColor(TColor c) {
    if (c == start_) return;
    start_ = c;
    Changed();
}

void TGradient::SetEndColor(TColor c) {
    if (c == end_) return;
    end_ = c;
    Changed();
}

void TGradient::SetBands(std::uint8_t n) {
    if (n == bands_ || n == 0) return;
    bands_ = n;
    Changed();
}

void TGradient::Changed() {
    FreeTable();
    if (OnChange) OnChange();
}

void TGradient::FreeTable() {
    table_.clear();
}

void TGradient::BuildTable() {
    FreeTable();
    table_.resize(bands_);
    ComputeTable();
}

void TGradient::ComputeTable() {
    const TColor s = ColorToRGB(start_), e = ColorToRGB(end_);
    const double n = static_cast<double>(table_.size());
    auto channel = [n](int sv, int ev, int i) {
        return static_cast<std::uint8_t>(ev - static_cast<int>(std::trunc((ev - sv) / n * i)));
    };
    for (int i = 0; i < static_cast<int>(table_.size()); ++i) {
        table_[i].R = channel(GetRValue(s), GetRValue(e), i);
        table_[i].G = channel(GetGValue(s), GetGValue(e), i);
        table_[i].B = channel(GetBValue(s), GetBValue(e), i);
    }
}

void TGradient::EnsureTable() {
    if (table_.size() != bands_) BuildTable();
}

TGradient::Entry TGradient::TableEntry(int i) {
    if (i < 0 || i >= bands_) throw std::out_of_range("Index out of range");
    EnsureTable();
    return table_[i];
}

int TGradient::TableIndex(int band) const {
    return reverse_ ? bands_ - 1 - band : band;
}

namespace {

// Fills a rectangle of a 32-bit bitmap, clipped to it.
void FillBand(QImage& target, const QRect& r, const TGradient::Entry& c) {
    const QRect cell = r.intersected(target.rect());
    if (cell.isEmpty()) return;
    const QRgb rgb = qRgb(c.R, c.G, c.B);
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        std::fill(line + cell.left(), line + cell.right() + 1, rgb);
    }
}

} // namespace

void TGradient::PaintVertical(QImage& target, const QRect& r) {
    EnsureTable();
    const int top = r.top(), bottom = r.top() + r.height();
    for (int i = 0; i < bands_; ++i) {
        const TGradientBand band = GradientBand(i, bands_, top, bottom);
        FillBand(target, QRect(r.left(), band.Pos, r.width(), band.Size), table_[TableIndex(i)]);
    }
}

void TGradient::PaintHorizontal(QImage& target, const QRect& r) {
    PaintHorizontal(target, r, r);
}

void TGradient::PaintVertical(QImage& target, const QRect& r, const QRect&) {
    PaintVertical(target, r);
}

void TGradient::PaintHorizontal(QImage& target, const QRect& r, const QRect& clip) {
    EnsureTable();
    const QRect bounds = r.intersected(clip);
    const int left = r.left(), right = r.left() + r.width();
    for (int i = 0; i < bands_; ++i) {
        const TGradientBand band = GradientBand(i, bands_, left, right);
        const QRect cell = QRect(band.Pos, r.top(), band.Size, r.height()).intersected(bounds);
        FillBand(target, cell, table_[TableIndex(i)]);
    }
}

void TGradient::Paint(QImage& target, const QRect& r) {
    if (direction_ == TGradientDirection::Vertical)
        PaintVertical(target, r);
    else
        PaintHorizontal(target, r);
}
