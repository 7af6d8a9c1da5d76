#pragma once
// Colours as the desk stores them: 0x00BBGGRR for plain colours, 0x800000nn
// for a system colour, clNone for "draw nothing". Plain numbers: painting
// them is the GUI layer's work (base/Colors.h).

#include <cstdint>

using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor clScrollBar = clSystemColor | 0x00;
inline constexpr TColor clBackground = clSystemColor | 0x01;
inline constexpr TColor clActiveCaption = clSystemColor | 0x02;
inline constexpr TColor clInactiveCaption = clSystemColor | 0x03;
inline constexpr TColor clMenu = clSystemColor | 0x04;
inline constexpr TColor clWindow = clSystemColor | 0x05;
inline constexpr TColor clWindowFrame = clSystemColor | 0x06;
inline constexpr TColor clMenuText = clSystemColor | 0x07;
inline constexpr TColor clWindowText = clSystemColor | 0x08;
inline constexpr TColor clCaptionText = clSystemColor | 0x09;
inline constexpr TColor clActiveBorder = clSystemColor | 0x0A;
inline constexpr TColor clInactiveBorder = clSystemColor | 0x0B;
inline constexpr TColor clAppWorkSpace = clSystemColor | 0x0C;
inline constexpr TColor clHighlight = clSystemColor | 0x0D;
inline constexpr TColor clHighlightText = clSystemColor | 0x0E;
inline constexpr TColor clBtnFace = clSystemColor | 0x0F;
inline constexpr TColor clBtnShadow = clSystemColor | 0x10;
inline constexpr TColor clGrayText = clSystemColor | 0x11;
inline constexpr TColor clBtnText = clSystemColor | 0x12;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 0x13;
inline constexpr TColor clBtnHighlight = clSystemColor | 0x14;
inline constexpr TColor cl3DDkShadow = clSystemColor | 0x15;
inline constexpr TColor cl3DLight = clSystemColor | 0x16;
inline constexpr TColor clInfoText = clSystemColor | 0x17;
inline constexpr TColor clInfoBk = clSystemColor | 0x18;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 0x1B;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 0x1C;

constexpr bool IsSystemColor(TColor c) {
    return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u;
}

constexpr std::uint8_t GetRValue(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GetGValue(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
