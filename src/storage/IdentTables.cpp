#include "core/Color.h"
#include "storage/Ascii.h"
#include "storage/Encodings.h"

namespace oxp {

namespace {

struct Ident {
    int value;
    const char* name;
};

constexpr Ident kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

constexpr Ident kCursors[] = {
    {0, "crDefault"},   {-1, "crNone"},     {-2, "crArrow"},      {-3, "crCross"},
    {-4, "crIBeam"},    {-6, "crSizeNESW"}, {-7, "crSizeNS"},     {-8, "crSizeNWSE"},
    {-9, "crSizeWE"},   {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"},
    {-13, "crNoDrop"},  {-14, "crHSplit"},  {-15, "crVSplit"},    {-16, "crMultiDrag"},
    {-17, "crSQLWait"}, {-18, "crNo"},      {-19, "crAppStart"},  {-20, "crHelp"},
    {-21, "crHand"},    {-22, "crSizeAll"}, {-21, "crHandPoint"}, {-22, "crSize"},
};

template <std::size_t N>
std::optional<QString> ToIdent(const Ident (&table)[N], int value) {
    for (const Ident& i : table)
        if (i.value == value) return QString::fromLatin1(i.name);
    return std::nullopt;
}

template <std::size_t N>
std::optional<int> FromIdent(const Ident (&table)[N], QStringView name) {
    for (const Ident& i : table)
        if (AsciiEqualsIgnoreCase(QString::fromLatin1(i.name), name)) return i.value;
    return std::nullopt;
}

} // namespace

std::optional<QString> ColorToIdent(int color) {
    return ToIdent(kColors, color);
}
std::optional<int> IdentToColor(QStringView ident) {
    return FromIdent(kColors, ident);
}
std::optional<QString> CursorToIdent(int cursor) {
    return ToIdent(kCursors, cursor);
}
std::optional<int> IdentToCursor(QStringView ident) {
    return FromIdent(kCursors, ident);
}

} // namespace oxp
