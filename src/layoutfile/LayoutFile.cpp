#include "layoutfile/LayoutFile.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString WriteLayoutFile(const QString& path, TChannelTable& table) {
    table.SaveMark = 1;
    QSaveFile file(path);
    // In a folder that cannot take the file beside it, write in place as before.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    const auto* bytes = reinterpret_cast<const char*>(&table);
    if (file.write(bytes, static_cast<qint64>(sizeof table)) != static_cast<qint64>(sizeof table)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

TLayoutReadResult ReadLayoutFile(const QString& path, TChannelTable& table, QString& error) {
    std::memset(&table, 0, sizeof table);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ClearChannels(table);
        return TLayoutReadResult::Missing;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        error = QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString());
        return TLayoutReadResult::Failed;
    }
    auto* bytes = reinterpret_cast<char*>(&table);
    qint64 got = 0;
    const auto want = static_cast<qint64>(sizeof table);
    while (got < want) {
        const qint64 n = file.read(bytes + got, want - got);
        if (n <= 0) break;
        got += n;
    }
    if (got < want) {
        error = file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("Read beyond end of file: \"%1\" holds %2 of %3 bytes.")
                          .arg(path)
                          .arg(got)
                          .arg(want);
        return TLayoutReadResult::Failed;
    }
    return TLayoutReadResult::Read;
}

QString LayoutCaption(const QString& baseCaption, const QString& path) {
    return baseCaption + QLatin1Char(' ') + QFileInfo(path).fileName();
}
