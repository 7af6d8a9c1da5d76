#pragma once
// A file's whole content for comparing before and after a write; a file that
// cannot be read gives a marker no real content equals.

#include <QByteArray>
#include <QFile>
#include <QString>

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
