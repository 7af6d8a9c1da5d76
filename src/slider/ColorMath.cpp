#include "slider/ColorMath.h"

#include <algorithm>
#include <cstdlib>

namespace {

int Channel(TColor c, int shift) {
    return (c >> shift) & 0xFF;
}

} // namespace

TColor BlendColor(TColor from, TColor to, int count, int index) {
    const TColor a = ColorToRGB(from);
    const TColor b = ColorToRGB(to);
    if (a == b) return from;
    if (count == 0) count = 1;
    int ch[3];
    for (int i = 0; i < 3; ++i) {
        const int ca = Channel(a, 8 * i), cb = Channel(b, 8 * i);
        ch[i] = ca + RoundEven(static_cast<double>(cb - ca) / count * index);
    }
    return RGB(ch[0], ch[1], ch[2]);
}

int GradientSteps(TColor fromRgb, TColor toRgb) {
    int k = 1;
    for (int i = 0; i < 3; ++i)
        k = std::max(k, std::abs(Channel(toRgb, 8 * i) - Channel(fromRgb, 8 * i)));
    return k;
}

std::vector<TGradientShape> EllipticShapes(int width, int height, TColor fromRgb, TColor toRgb) {
    std::vector<TGradientShape> shapes;
    if (fromRgb == toRgb) return shapes;
    const int k = GradientSteps(fromRgb, toRgb);
    const int cx = width / 2, cy = height / 2;
    const double px = static_cast<double>(width) / k / 2, py = static_cast<double>(height) / k / 2;
    int d[3];
    for (int i = 0; i < 3; ++i)
        d[i] = Channel(toRgb, 8 * i) - Channel(fromRgb, 8 * i);
    shapes.reserve(static_cast<std::size_t>(k));
    for (int h = k; h >= 1; --h) {
        int c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = (Channel(fromRgb, 8 * i) + RoundEven(static_cast<double>(h) * d[i] / k)) & 0xFF;
        const int ax = RoundEven(h * px), ay = RoundEven(h * py);
        shapes.push_back({{cx - ax, cy - ay, cx + ax, cy + ay}, RGB(c[0], c[1], c[2])});
    }
    return shapes;
}

std::vector<TGradientShape> HorizontalBands(int width, int height, TColor fromRgb, TColor toRgb) {
    std::vector<TGradientShape> bands;
    if (height <= 0) return bands;
    int c = std::min(GradientSteps(fromRgb, toRgb), height);
    if (c == 0) c = 1;
    const int z = height / c;
    c = height / z;
    if (c == 0) c = 1;
    int d[3];
    for (int i = 0; i < 3; ++i)
        d[i] = Channel(toRgb, 8 * i) - Channel(fromRgb, 8 * i);
    for (int n = 0; n <= c; ++n) {
        int ch[3];
        for (int i = 0; i < 3; ++i)
            ch[i] = Channel(fromRgb, 8 * i) + n * d[i] / c;
        bands.push_back({{0, n * z, width, n * z + z}, RGB(ch[0], ch[1], ch[2])});
    }
    return bands;
}
