#pragma once
// One OSC message with an int argument, as the wire has it, for tests that
// play a control surface.

#include <arpa/inet.h>

#include <QByteArray>

inline QByteArray OscInt(const QByteArray& path, qint32 value) {
    QByteArray m = path;
    m.append('\0');
    while (m.size() % 4 != 0)
        m.append('\0');
    m.append(",i\0\0", 4);
    const quint32 be = htonl(static_cast<quint32>(value));
    m.append(reinterpret_cast<const char*>(&be), 4);
    return m;
}
