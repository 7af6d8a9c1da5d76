#pragma once
// The caption seen as lines ("||" separates them) and the placement of the
// caption's text rectangle.

#include <functional>

#include <QRect>
#include <QString>
#include <QStringList>

#include "buttons/oxBtnsTypes.h"

class QFontMetrics;

inline constexpr char kCaptionLineSeparator[] = "||";
// The lines view reads at most this many characters of the caption.
inline constexpr int kCaptionLinesLimit = 254;

QStringList SplitCaptionLines(const QString& caption);
QString JoinCaptionLines(const QStringList& lines);
// The caption as drawn: each "||" becomes a line break.
QString CaptionWithBreaks(const QString& caption);

// A string list with no storage of its own: it reads and writes the caption
// through the two accessors it is given.
class TCaptionStrings {
public:
    TCaptionStrings(std::function<QString()> read, std::function<void(const QString&)> write)
        : read_(std::move(read)), write_(std::move(write)) {}

    QStringList Lines() const { return SplitCaptionLines(read_()); }
    int Count() const;
    QString operator[](int i) const; // empty when out of range
    void SetLines(const QStringList& lines) { write_(JoinCaptionLines(lines)); }
    void Add(const QString& line);
    void Clear() { write_(QString()); }
    QString Text() const { return read_(); }

private:
    std::function<QString()> read_;
    std::function<void(const QString&)> write_;
};

struct ToxCaptionLayoutInput {
    QRect Client;         // 0, 0, width, height
    bool Pressed = false; // press state Pressed
    bool Value = false;
    bool MultiLine = false;
    ToxFontStyle Font3D = ToxFontStyle::fsNormal;
    int TextAngle = 0;
    int TextX = -5;
    int TextY = -5;
};

// Qt text flags of the caption for the given settings; also narrows t as
// the settings ask.
int CaptionFormat(const ToxCaptionLayoutInput& in, QRect& t);

// The text rectangle (empty for an empty caption).
QRect LayoutCaption(const ToxCaptionLayoutInput& in, const QString& caption,
                    const QFontMetrics& metrics);
