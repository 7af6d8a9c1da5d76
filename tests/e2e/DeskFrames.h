#pragma once
// Reading what the reference host received, and where the bank's controls lie
// inside the desk window.

#include <functional>
#include <ostream>

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QPoint>
#include <QStringList>

#include "DeskSession.h"

// Readable points in assertion messages.
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << ", " << p.y() << ")";
}

namespace deskframes {

using namespace std::chrono_literals;

inline constexpr int kClientHeight = 561; // the bank below the menu bar
inline constexpr int kPageRow = 41;
inline constexpr int kColumn = 63;
inline constexpr int kFaderHeight = 210;

// A message's fields as the reference host prints them.
inline int Msg(const QJsonObject& m) {
    return m.value(QStringLiteral("msg")).toInt();
}
inline int WParam(const QJsonObject& m) {
    return m.value(QStringLiteral("wParam")).toInt();
}
inline qint64 LParam(const QJsonObject& m) {
    return static_cast<qint64>(m.value(QStringLiteral("lParam")).toDouble());
}

// Channel level in a frame message, -1 when it has none.
inline int LevelOf(const QJsonObject& m, int channel) {
    return m.value(QStringLiteral("levels")).toArray().at(channel - 1).toInt(-1);
}

// Whether the message is a frame of 512 levels all at `level`.
inline bool AllLevelsAre(const QJsonObject& m, int level) {
    const QJsonArray levels = m.value(QStringLiteral("levels")).toArray();
    if (levels.size() != 512) return false;
    for (const auto& v : levels)
        if (v.toInt(-1) != level) return false;
    return true;
}

// Waits until a message after the first `after` satisfies pred.
inline bool WaitFor(DeskSession& s, std::size_t after,
                    const std::function<bool(const QJsonObject&)>& pred,
                    std::chrono::milliseconds timeout = 15s) {
    QDeadlineTimer deadline(timeout);
    for (;;) {
        const auto messages = s.Messages();
        for (std::size_t i = after; i < messages.size(); ++i)
            if (pred(messages[i])) return true;
        if (deadline.hasExpired()) return false;
        s.WaitForMessages(messages.size() + 1, 100ms);
    }
}

// Height of the menu bar above the bank, 0 when the geometry is unreadable.
inline int MenuHeight(DeskSession& s, const QString& window) {
    QString geometry;
    if (!s.Xdotool({"getwindowgeometry", "--shell", window}, &geometry)) return 0;
    const int height = geometry.section(QStringLiteral("HEIGHT="), 1).section('\n', 0, 0).toInt();
    return height - kClientHeight;
}

// xdotool arguments moving the pointer to (x, y) inside the window.
inline QStringList At(const QString& window, int x, int y) {
    return {"mousemove", "--window", window, QString::number(x), QString::number(y)};
}

} // namespace deskframes
