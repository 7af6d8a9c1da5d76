#include "base/FontFallbacks.h"

#include <deque>

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

QStringList DeskFontFaces() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("System")};
}

QString MatchedFamily(const QString& face) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return {};
    const QByteArray name = face.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    QString family;
    FcChar8* found = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch)
        family = QString::fromUtf8(reinterpret_cast<const char*>(found));
    if (match != nullptr) FcPatternDestroy(match);
    return family;
}

TFaceFamilies MatchFaces(const QStringList& faces) {
    TFaceFamilies matched;
    for (const QString& face : faces)
        matched.append({face, MatchedFamily(face)});
    return matched;
}

QStringList InstallFontFallbacks(const TFaceFamilies& matched) {
    QStringList substituted;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return substituted;
    // Looked up in the list: asking the database by name resolves the
    // name's aliases through the font matcher each time.
    const QStringList installed = QFontDatabase::families();
    const auto listed = [&installed](const QString& family) {
        return installed.contains(family, Qt::CaseInsensitive);
    };
    for (const auto& [face, match] : matched) {
        if (listed(face) || !QFont::substitutes(face).isEmpty()) continue;
        QString family = match;
        if (family.isEmpty() || !listed(family)) {
            QFont probe(face);
            probe.setStyleHint(QFont::SansSerif);
            family = QFontInfo(probe).family();
        }
        if (family.isEmpty() || family.compare(face, Qt::CaseInsensitive) == 0) continue;
        QFont::insertSubstitution(face, family);
        substituted << face;
    }
    return substituted;
}

QStringList InstallFontFallbacks(const QStringList& faces) {
    return InstallFontFallbacks(MatchFaces(faces));
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
