#pragma once
// Fonts the desk names by faces this platform may lack ("MS Sans Serif",
// "Arial", "System"). Each face is resolved once to the installed family the
// font matcher picks for it and registered as its substitute, so that later
// fonts of that name find their family at once; and fonts of one face, size
// and style are built once and shared by every widget.

#include <utility>

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

// The faces the desk's widgets name.
QStringList DeskFontFaces();

// The installed family the system's font matcher gives a face, with
// sans-serif for a face it does not have; empty when nothing matches. Needs
// no application and may run on any thread.
QString MatchedFamily(const QString& face);
// Faces with the family each matched.
using TFaceFamilies = QList<std::pair<QString, QString>>;
TFaceFamilies MatchFaces(const QStringList& faces);

// Registers, for each face not installed, the family it matched. A family
// Qt does not list is left to Qt's own matching. Returns the faces
// substituted. Safe to call again; needs a GUI application.
QStringList InstallFontFallbacks(const TFaceFamilies& matched);
// The same, matching the faces now.
QStringList InstallFontFallbacks(const QStringList& faces = DeskFontFaces());

// How a shared font looks: a face, a pixel size and style bits.
struct TFontRequest {
    QString Face;
    int PixelSize = 11;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool operator==(const TFontRequest&) const = default;
};

// The one font for the request (sans-serif fallback, full hinting for whole-
// pixel advances); the reference stays valid for the program's life. Used
// from the user-interface thread only.
const QFont& SharedFont(const TFontRequest& request);
// How many different fonts SharedFont has built.
int SharedFontCount();
