#pragma once
// Colour maths of the buttons: hue/lightness/saturation on the 0..240 scale,
// shading by an amount, and relative shade colours (top byte 0x30) that name
// an amount instead of a colour.

#include "base/Colors.h"

struct ToxHls {
    int Hue = 0;        // 0..239
    int Lightness = 0;  // 0..240
    int Saturation = 0; // 0..240
    friend bool operator==(const ToxHls&, const ToxHls&) = default;
};

inline constexpr int kHlsMax = 240;

ToxHls RgbToHls(TColor rgb);
TColor HlsToRgb(const ToxHls& hls);

// The plain colour shaded by an amount; 0 leaves it unchanged.
TColor ShadeColor(TColor rgb, int amount);

// Relative shades: the low 16 bits minus 256 give the amount.
inline constexpr std::uint32_t kRelativeShadeTag = 0x30000000u;
constexpr bool IsRelativeShade(TColor c) {
    return (static_cast<std::uint32_t>(c) & 0xFF000000u) == kRelativeShadeTag;
}
constexpr int RelativeShadeAmount(TColor c) {
    return static_cast<int>(c & 0xFFFF) - 256;
}
constexpr TColor RelativeShade(int amount) {
    return static_cast<TColor>(kRelativeShadeTag |
                               static_cast<std::uint32_t>((amount + 256) & 0xFFFF));
}
