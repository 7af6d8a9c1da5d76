#include "dialogs/LinkAddress.h"

QString LinkAddress(const QString& text, TLinkKind kind) {
    if (kind == TLinkKind::Mail) {
        if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) return text;
        return QStringLiteral("mailto:") + text;
    }
    // A secure address keeps its own scheme rather than gaining a second one.
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("http://") + text;
}
