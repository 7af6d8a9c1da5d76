#include "surfaces/ProfileFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList ListProfiles(const TProfileFolders& folders) {
    QStringList names;
    QStringList dirs{folders.User};
    dirs << folders.Shipped;
    for (const QString& dir : dirs) {
        if (dir.isEmpty()) continue;
        for (const QString& name :
             QDir(dir).entryList({QStringLiteral("*") + QLatin1String(PROFILE_EXTENSION)},
                                 QDir::Files | QDir::Readable))
            names << name;
    }
    names.removeDuplicates();
    names.sort();
    return names;
}

std::string ReadProfileFile(const QString& path, TSurfaceProfile& profile) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path.toStdString() + ": cannot be read (" + file.errorString().toStdString() + ")";
    const QByteArray bytes = file.read(static_cast<qint64>(MAX_PROFILE_BYTES) + 1);
    const std::string error = ParseSurfaceProfile(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), profile);
    return error.empty() ? error : path.toStdString() + ": " + error;
}

std::string LoadProfile(const TProfileFolders& folders, const QString& name,
                        TSurfaceProfile& profile) {
    if (name.isEmpty()) {
        const QFileInfo learned(QDir(folders.User), QLatin1String(GENERIC_PROFILE_FILE));
        if (!folders.User.isEmpty() && learned.isFile())
            return ReadProfileFile(learned.filePath(), profile);
        profile = GenericProfile();
        return {};
    }
    if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String("."))
        return "\"" + name.toStdString() + "\" is not a profile's file name";
    QStringList dirs{folders.User};
    dirs << folders.Shipped;
    for (const QString& dir : dirs) {
        if (dir.isEmpty()) continue;
        const QFileInfo candidate(QDir(dir), name);
        if (candidate.isFile()) return ReadProfileFile(candidate.filePath(), profile);
    }
    return "no profile \"" + name.toStdString() + "\" in " +
           dirs.join(QStringLiteral(", ")).toStdString();
}
