#include "base/FontFallbacks.h"

#include <deque>

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

QStringList DeskFontFaces() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("System")};
}

QStringList InstallFontFallbacks(const QStringList& faces) {
    QStringList substituted;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return substituted;
    for (const QString& face : faces) {
        if (QFontDatabase::hasFamily(face) || !QFont::substitutes(face).isEmpty()) continue;
        QFont probe(face);
        probe.setStyleHint(QFont::SansSerif);
        const QString family = QFontInfo(probe).family();
        if (family.isEmpty() || family.compare(face, Qt::CaseInsensitive) == 0) continue;
        QFont::insertSubstitution(face, family);
        substituted << face;
    }
    return substituted;
}

namespace {

struct Entry {
    TFontRequest request;
    QFont font;
};

// Few distinct fonts exist; a deque keeps references stable as it grows.
std::deque<Entry>& Fonts() {
    static std::deque<Entry> fonts;
    return fonts;
}

} // namespace

const QFont& SharedFont(const TFontRequest& r) {
    std::deque<Entry>& fonts = Fonts();
    for (const Entry& e : fonts)
        if (e.request == r) return e.font;
    QFont f(r.Face);
    f.setStyleHint(QFont::SansSerif); // faces this platform lacks fall back to a sans face
    f.setPixelSize(r.PixelSize);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setBold(r.Bold);
    f.setItalic(r.Italic);
    f.setUnderline(r.Underline);
    f.setStrikeOut(r.StrikeOut);
    fonts.push_back({r, f});
    return fonts.back().font;
}

int SharedFontCount() {
    return static_cast<int>(Fonts().size());
}
