#pragma once
// Finding and loading the help document shown by the Readme window.

#include <QString>
#include <QStringList>

#include "core/FileResult.h"

class QTextDocument;

inline constexpr char README_FILE_NAME[] = "Readme.rtf";
inline constexpr char OPEN_ERROR_FORMAT[] = "Cannot open file %1";
inline constexpr char LOAD_ERROR[] = "Failed to Load Stream";

// Where the help is looked for, in order: the current directory, the
// program's directory, then the installed data directories. A launcher may
// start the program anywhere, so the current directory alone is not enough.
QStringList ReadmeSearchDirs();

// The first of the directories holding a file of that name, as a path; the
// bare name when none holds it (so that the error names what was sought).
QString FindFileIn(const QStringList& dirs, const QString& name);

// Files larger than this are refused as they are not a help text.
inline constexpr qint64 MAX_DOCUMENT_BYTES = 16 << 20;

// Replaces the document's content with the file, read as rich text or, when
// it is not, as plain text. On an error the document is left empty.
TFileResult<> LoadDocumentFile(const QString& path, QTextDocument& document);
