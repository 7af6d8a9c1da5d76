#pragma once
// The caption seen as lines ("||" separates them) and the placement of the
// caption's text rectangle.

#include <functional>

#include <QRect>
#include <QString>
#include <QStringList>

#include "buttons/ButtonTypes.h"

#include <QFont>
#include <QHash>

class QPaintDevice;

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

// What QFontMetrics::boundingRect(rect, flags, text) gives for the font on
// the device.
using TMeasureCaption = std::function<QRect(const QRect&, int, const QString&)>;

// The text rectangle (empty for an empty caption).
QRect LayoutCaption(const ToxCaptionLayoutInput& in, const QString& caption,
                    const TMeasureCaption& measure);

// Measures captions as QFontMetrics does and remembers the answers: the bump
// and page numbers come back with every page, and measuring means shaping.
class TCaptionMeasures {
public:
    QRect BoundingRect(const QFont& font, const QPaintDevice& device, const QRect& r, int flags,
                       const QString& text);
    int Size() const { return static_cast<int>(known_.size()); }

    // At most this many answers are kept; the next one starts afresh.
    static constexpr int kLimit = 4096;

private:
    struct Key {
        QFont font;
        int dpiX, dpiY;
        QRect rect;
        int flags;
        QString text;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) {
        return qHashMulti(seed, k.font, k.dpiX, k.dpiY, k.rect.left(), k.rect.top(), k.rect.width(),
                          k.rect.height(), k.flags, k.text);
    }
    QHash<Key, QRect> known_;
};
