#pragma once
// Moving the channel table to and from a layout file: the table's 33,800-byte
// image, nothing before or after it.

#include <QByteArray>
#include <QString>

#include "core/FileResult.h"
#include "model/ChannelTable.h"

inline constexpr char CANNOT_SAVE_FILE[] = " Cannot Save File";
inline constexpr char CANNOT_OPEN_FILE[] = " Cannot Open File";

// Writes the table, its SaveMark set, to `path` (through a link, to the file
// it names). A failed save leaves the old file whole; a file the user cannot
// write is not written. A failure's message names the file, the step that
// failed and the system's reason.
TFileResult<> WriteLayoutFile(const QString& path, const TChannelTable& table);

enum class TLayoutRead {
    Read,    // the table holds the file's first 33,800 bytes
    Missing, // no such file (or no name): the table is at its defaults
};

// The first 33,800 bytes of `path`, read whole. A file that cannot be opened
// for reading, cannot be read, or is shorter than the table, fails; nothing
// is ever created.
TFileResult<QByteArray> ReadLayoutBytes(const QString& path);

// Reads `path` whole and only then copies it into the table, or resets the
// table to its defaults when there is no such file. On a failure the table
// is left exactly as it was.
TFileResult<TLayoutRead> ReadLayoutFile(const QString& path, TChannelTable& table);

// `baseCaption` (the window's caption, "Vantrelle <version>"), a space and the
// file name without its directory.
QString LayoutCaption(const QString& baseCaption, const QString& path);
