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

// Channel level in a frame message, -1 when it has none.
inline int LevelOf(const QJsonObject& m, int channel) {
    return m.value(QStringLiteral("levels")).toArray().at(channel - 1).toInt(-1);
}

// Waits until a message after the first `after` satisfies pred.
inline bool WaitForFrame(DeskSession& s, std::size_t after,
                         const std::function<bool(const QJsonObject&)>& pred) {
    QDeadlineTimer deadline(15s);
    while (!deadline.hasExpired()) {
        const auto messages = s.Messages();
        for (std::size_t i = after; i < messages.size(); ++i)
            if (pred(messages[i])) return true;
        s.WaitForMessages(messages.size() + 1, 200ms);
    }
    return false;
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
