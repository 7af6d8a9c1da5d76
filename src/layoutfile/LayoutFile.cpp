#include "layoutfile/LayoutFile.h"

#include <cstring>
#include <memory>

#include <QFile>
#include <QFileInfo>

#include "core/WholeFile.h"

TFileResult<> WriteLayoutFile(const QString& path, const TChannelTable& table) {
    auto image = std::make_unique<TChannelTable>(table);
    image->SaveMark = 1;
    const auto* bytes = reinterpret_cast<const char*>(image.get());
    return ReplaceFileWhole(path, QByteArrayView(bytes, static_cast<qsizetype>(sizeof table)),
                            QStringLiteral("\"%1\":"));
}

TFileResult<QByteArray> ReadLayoutBytes(const QString& path) {
    const auto want = static_cast<qint64>(sizeof(TChannelTable));
    QFile file(path);
    // Read only: a reader never creates the file, nor needs to write it.
    if (!file.open(QIODevice::ReadOnly))
        return TFileError(path, QStringLiteral("Cannot open file \"%1\"."), file.errorString());
    QByteArray bytes(want, Qt::Uninitialized);
    qint64 got = 0;
    while (got < want) {
        const qint64 n = file.read(bytes.data() + got, want - got);
        if (n <= 0) break;
        got += n;
    }
    if (got < want) {
        if (file.error() != QFileDevice::NoError)
            return TFileError(path, QStringLiteral("Cannot read file \"%1\"."), file.errorString());
        return TFileError(path, QStringLiteral("Read beyond end of file: \"%1\""),
                          QStringLiteral("holds %1 of %2 bytes.").arg(got).arg(want));
    }
    return bytes;
}

TFileResult<TLayoutRead> ReadLayoutFile(const QString& path, TChannelTable& table) {
    const QFileInfo info(path);
    if (!path.isEmpty() && info.exists() && !info.isFile())
        return TFileError(path, QStringLiteral("Cannot open file \"%1\"."),
                          info.isDir() ? QStringLiteral("Is a directory")
                                       : QStringLiteral("Not a regular file"));
    if (path.isEmpty() || !info.exists()) {
        std::memset(&table, 0, sizeof table);
        ClearChannels(table);
        return TLayoutRead::Missing;
    }
    const TFileResult<QByteArray> bytes = ReadLayoutBytes(path);
    if (!bytes) return bytes.Error();
    // Only a whole image reaches the table.
    std::memcpy(&table, bytes.Value().constData(), sizeof table);
    return TLayoutRead::Read;
}

QString LayoutCaption(const QString& baseCaption, const QString& path) {
    return baseCaption + QLatin1Char(' ') + QFileInfo(path).fileName();
}
