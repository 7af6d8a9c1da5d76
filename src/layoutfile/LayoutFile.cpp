#include "layoutfile/LayoutFile.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

TFileResult<> WriteLayoutFile(const QString& path, TChannelTable& table) {
    table.SaveMark = 1;
    QSaveFile file(path);
    // In a folder that cannot take the file beside it, write in place as before.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return TFileError(path, {}, file.errorString());
    const auto* bytes = reinterpret_cast<const char*>(&table);
    if (file.write(bytes, static_cast<qint64>(sizeof table)) != static_cast<qint64>(sizeof table)) {
        TFileError error(path, {}, file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return TFileError(path, {}, file.errorString());
    return {};
}

TFileResult<TLayoutRead> ReadLayoutFile(const QString& path, TChannelTable& table) {
    std::memset(&table, 0, sizeof table);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ClearChannels(table);
        return TLayoutRead::Missing;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return TFileError(path, QStringLiteral("Cannot open file \"%1\"."), file.errorString());
    auto* bytes = reinterpret_cast<char*>(&table);
    qint64 got = 0;
    const auto want = static_cast<qint64>(sizeof table);
    while (got < want) {
        const qint64 n = file.read(bytes + got, want - got);
        if (n <= 0) break;
        got += n;
    }
    if (got < want) {
        if (file.error() != QFileDevice::NoError) return TFileError(path, {}, file.errorString());
        return TFileError(path, QStringLiteral("Read beyond end of file: \"%1\""),
                          QStringLiteral("holds %1 of %2 bytes.").arg(got).arg(want));
    }
    return TLayoutRead::Read;
}

QString LayoutCaption(const QString& baseCaption, const QString& path) {
    return baseCaption + QLatin1Char(' ') + QFileInfo(path).fileName();
}
