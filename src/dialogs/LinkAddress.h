#pragma once
// The address a link label hands to the desktop: its text with the scheme
// put in front unless the text already carries it.

#include <QString>

enum class TLinkKind { Web, Mail };

// Web: "http://" in front unless the text begins with "http://" or
// "https://" in any letter case. Mail: "mailto:" in front unless it begins
// with "mailto:" in any letter case.
QString LinkAddress(const QString& text, TLinkKind kind);
