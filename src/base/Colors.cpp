#include "base/Colors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>

namespace {

struct SystemRole {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colour indices the desk uses, onto the palette roles that play
// the same part on this platform.
constexpr SystemRole kSystemRoles[] = {
    {0x00, QPalette::Active, QPalette::Button},          // clScrollBar
    {0x01, QPalette::Active, QPalette::Window},          // clBackground
    {0x02, QPalette::Active, QPalette::Highlight},       // clActiveCaption
    {0x03, QPalette::Inactive, QPalette::Dark},          // clInactiveCaption
    {0x04, QPalette::Active, QPalette::Window},          // clMenu
    {0x05, QPalette::Active, QPalette::Base},            // clWindow
    {0x06, QPalette::Active, QPalette::Shadow},          // clWindowFrame
    {0x07, QPalette::Active, QPalette::WindowText},      // clMenuText
    {0x08, QPalette::Active, QPalette::WindowText},      // clWindowText
    {0x09, QPalette::Active, QPalette::HighlightedText}, // clCaptionText
    {0x0A, QPalette::Active, QPalette::Button},          // clActiveBorder
    {0x0B, QPalette::Inactive, QPalette::Button},        // clInactiveBorder
    {0x0C, QPalette::Active, QPalette::Dark},            // clAppWorkSpace
    {0x0D, QPalette::Active, QPalette::Highlight},       // clHighlight
    {0x0E, QPalette::Active, QPalette::HighlightedText}, // clHighlightText
    {0x0F, QPalette::Active, QPalette::Button},          // clBtnFace
    {0x10, QPalette::Active, QPalette::Dark},            // clBtnShadow
    {0x11, QPalette::Disabled, QPalette::Text},          // clGrayText
    {0x12, QPalette::Active, QPalette::ButtonText},      // clBtnText
    {0x13, QPalette::Inactive, QPalette::Light},         // clInactiveCaptionText
    {0x14, QPalette::Active, QPalette::Light},           // clBtnHighlight
    {0x15, QPalette::Active, QPalette::Shadow},          // cl3DDkShadow
    {0x16, QPalette::Active, QPalette::Midlight},        // cl3DLight
    {0x17, QPalette::Active, QPalette::ToolTipText},     // clInfoText
    {0x18, QPalette::Active, QPalette::ToolTipBase},     // clInfoBk
    {0x1B, QPalette::Active, QPalette::Highlight},       // clGradientActiveCaption
    {0x1C, QPalette::Inactive, QPalette::Dark},          // clGradientInactiveCaption
};

QPalette ApplicationPalette() {
    if (QCoreApplication::instance() != nullptr &&
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        return QGuiApplication::palette();
    return QPalette(QColor(0xF0, 0xF0, 0xF0));
}

} // namespace

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

TColor ColorToRGB(TColor color, const QPalette& palette) {
    if (!IsSystemColor(color)) return color;
    const int index = color & 0xFF;
    for (const SystemRole& r : kSystemRoles)
        if (r.index == index) return FromQColor(palette.color(r.group, r.role));
    return FromQColor(palette.color(QPalette::Active, QPalette::Button));
}

TColor ColorToRGB(TColor color) {
    if (!IsSystemColor(color)) return color;
    return ColorToRGB(color, ApplicationPalette());
}

QColor ToQColor(TColor color, const QPalette& palette) {
    if (color == clNone) return QColor();
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QColor ToQColor(TColor color) {
    if (color == clNone) return QColor();
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
