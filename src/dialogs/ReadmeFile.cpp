#include "dialogs/ReadmeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTextDocument>

#include "dialogs/RtfReader.h"

#ifndef VANTRELLE_DATA_DIR
#define VANTRELLE_DATA_DIR "/usr/share/vantrelle"
#endif

namespace {

// Text as a plain-text view would take it: no NUL bytes, UTF-8 when it is
// valid UTF-8, else the Windows Latin-1 code page.
bool DecodePlainText(const QByteArray& data, QString* text) {
    if (data.contains('\0')) return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(data);
    if (!utf8.hasError()) {
        *text = decoded;
        return true;
    }
    text->clear();
    text->reserve(data.size());
    for (char c : data)
        text->append(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return true;
}

} // namespace

QStringList ReadmeSearchDirs() {
    QStringList dirs{QDir::currentPath()};
    if (QCoreApplication::instance() != nullptr) dirs << QCoreApplication::applicationDirPath();
    dirs << QStringLiteral(VANTRELLE_DATA_DIR);
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        dirs << data + QStringLiteral("/vantrelle");
    dirs.removeDuplicates();
    return dirs;
}

QString FindFileIn(const QStringList& dirs, const QString& name) {
    for (const QString& dir : dirs) {
        const QFileInfo candidate(QDir(dir), name);
        if (candidate.isFile()) return candidate.filePath();
    }
    return name;
}

TFileResult<> LoadDocumentFile(const QString& path, QTextDocument& document) {
    document.clear();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return TFileError(path, QString::fromLatin1(OPEN_ERROR_FORMAT));
    const TFileError loadError(path, QString::fromLatin1(LOAD_ERROR));
    const QByteArray data = file.read(MAX_DOCUMENT_BYTES + 1);
    if (file.error() != QFileDevice::NoError) return loadError;
    if (data.size() > MAX_DOCUMENT_BYTES) return loadError;

    TRtfLimits limits;
    limits.maxBytes = static_cast<std::size_t>(MAX_DOCUMENT_BYTES);
    if (const auto rich =
            ReadRtf(std::string_view(data.constData(), data.size()), nullptr, limits)) {
        FillTextDocument(*rich, document);
        return {};
    }
    QString text;
    if (!DecodePlainText(data, &text)) return loadError;
    document.setPlainText(text);
    return {};
}
