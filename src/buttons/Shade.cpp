#include "buttons/Shade.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kRgbMax = 255;
constexpr int kUndefinedHue = kHlsMax * 2 / 3;

int HueToRgb(int n1, int n2, int hue) {
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
    if (hue < kHlsMax / 6) return n1 + (((n2 - n1) * hue + (kHlsMax / 12)) / (kHlsMax / 6));
    if (hue < kHlsMax / 2) return n2;
    if (hue < (kHlsMax * 2) / 3)
        return n1 + (((n2 - n1) * (((kHlsMax * 2) / 3) - hue) + (kHlsMax / 12)) / (kHlsMax / 6));
    return n1;
}

int ToByte(int v) {
    return std::clamp(v, 0, kRgbMax);
}

// Recent results for the most recent amount; another amount starts afresh.
class ShadeMemo {
public:
    bool Find(TColor rgb, int amount, TColor& out) const {
        if (amount != amount_) return false;
        for (int i = 0; i < count_; ++i)
            if (from_[i] == rgb) {
                out = to_[i];
                return true;
            }
        return false;
    }
    void Store(TColor rgb, int amount, TColor result) {
        if (amount != amount_) {
            amount_ = amount;
            count_ = 0;
            next_ = 0;
        }
        from_[next_] = rgb;
        to_[next_] = result;
        next_ = (next_ + 1) % kSize;
        count_ = std::min(count_ + 1, kSize);
    }

private:
    static constexpr int kSize = 31;
    int amount_ = 0;
    int count_ = 0;
    int next_ = 0;
    std::array<TColor, kSize> from_{};
    std::array<TColor, kSize> to_{};
};

TColor ComputeShade(TColor rgb, int amount) {
    ToxHls hls = RgbToHls(rgb);
    int l = hls.Lightness;
    if (amount > 8 || amount < -8)
        l += amount;
    else if (amount > 0)
        l += amount * ((kHlsMax - l) / 8);
    else
        l -= -amount * (l / 8);
    hls.Lightness = std::clamp(l, 0, kHlsMax);
    return HlsToRgb(hls);
}

} // namespace

ToxHls RgbToHls(TColor rgb) {
    const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    ToxHls out;
    out.Lightness = (((cMax + cMin) * kHlsMax) + kRgbMax) / (2 * kRgbMax);
    if (cMax == cMin) {
        out.Saturation = 0;
        out.Hue = kUndefinedHue;
        return out;
    }
    const int sum = cMax + cMin, diff = cMax - cMin;
    if (out.Lightness <= kHlsMax / 2)
        out.Saturation = ((diff * kHlsMax) + (sum / 2)) / sum;
    else
        out.Saturation = ((diff * kHlsMax) + ((2 * kRgbMax - sum) / 2)) / (2 * kRgbMax - sum);
    const int rd = (((cMax - r) * (kHlsMax / 6)) + (diff / 2)) / diff;
    const int gd = (((cMax - g) * (kHlsMax / 6)) + (diff / 2)) / diff;
    const int bd = (((cMax - b) * (kHlsMax / 6)) + (diff / 2)) / diff;
    int h;
    if (r == cMax)
        h = bd - gd;
    else if (g == cMax)
        h = (kHlsMax / 3) + rd - bd;
    else
        h = ((2 * kHlsMax) / 3) + gd - rd;
    if (h < 0) h += kHlsMax;
    if (h >= kHlsMax) h -= kHlsMax;
    out.Hue = h;
    return out;
}

TColor HlsToRgb(const ToxHls& hls) {
    const int l = std::clamp(hls.Lightness, 0, kHlsMax);
    const int s = std::clamp(hls.Saturation, 0, kHlsMax);
    const int h = hls.Hue;
    if (s == 0) {
        const int v = ToByte((l * kRgbMax) / kHlsMax);
        return RGB(v, v, v);
    }
    const int m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + (kHlsMax / 2)) / kHlsMax
                                    : l + s - ((l * s) + (kHlsMax / 2)) / kHlsMax;
    const int m1 = 2 * l - m2;
    auto channel = [&](int hue) {
        return ToByte((HueToRgb(m1, m2, hue) * kRgbMax + (kHlsMax / 2)) / kHlsMax);
    };
    return RGB(channel(h + kHlsMax / 3), channel(h), channel(h - kHlsMax / 3));
}

TColor ShadeColor(TColor rgb, int amount) {
    rgb &= 0xFFFFFF;
    if (amount == 0) return rgb;
    static ShadeMemo memo;
    TColor out;
    if (memo.Find(rgb, amount, out)) return out;
    out = ComputeShade(rgb, amount);
    memo.Store(rgb, amount, out);
    return out;
}
