#pragma once
// Rectangles and rounding as the slider library computes them: edges with
// the right and bottom edge exclusive, and rounding that sends an exact half
// to the even neighbour.

#include <cmath>

#include <QRect>

struct TSkRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr TSkRect Inflated(int d) const { return {Left - d, Top - d, Right + d, Bottom + d}; }
    constexpr void Inflate(int d) { *this = Inflated(d); }
    // The library's hit test: the bottom row counts, the right column does not.
    constexpr bool Hit(int x, int y) const {
        return Left <= x && x < Right && Top <= y && y <= Bottom;
    }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TSkRect FromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend constexpr bool operator==(const TSkRect&, const TSkRect&) = default;
};

// Nearest integer, exact halves to the even neighbour.
inline int RoundEven(double v) {
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff < 0.5) return static_cast<int>(f);
    if (diff > 0.5) return static_cast<int>(f) + 1;
    return std::fmod(f, 2.0) == 0.0 ? static_cast<int>(f) : static_cast<int>(f) + 1;
}
