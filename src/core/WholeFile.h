#pragma once
// Replacing a file so that it is either the old file or the whole new one,
// whatever fails on the way (a full disk, an I/O error, a kill), without
// changing what the file is beyond its bytes.
//
// A symbolic link is followed to the file it names, and that file is
// replaced. The bytes go to a temporary file beside it, every write, the sync
// to the disk and the close are checked, and only then is it renamed over the
// old file, with the old file's owner, group, permissions and extended
// attributes. Where that would lose something (a folder the user cannot
// write, an owner the user cannot give, a second hard link), the file is
// written in place instead, once the room for the new bytes is reserved; the
// old bytes are put back when a write fails all the same. A file the user
// cannot write is not written, with one exception: the user's own file that
// the user can neither read nor write (its content is lost to them anyway)
// is replaced. A replacement of a file that could not be read gets the usual
// permissions (0644 less the umask), as a new file does.
//
// Temporary files are named "<file>.~vantrelle~part~XXXXXX"; an interrupted
// save leaves one, which RemoveSaveLeftovers takes away.

#include <functional>
#include <memory>

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include "core/FileResult.h"

// Writes `bytes` as the new content of `path`. A failure names the file, the
// action (`action`, %1 standing for the path), the step that failed and the
// system's reason, and leaves the old file, if any, as it was.
TFileResult<> ReplaceFileWhole(const QString& path, QByteArrayView bytes, const QString& action);

// Removes the temporary files an interrupted save of `path` left beside it
// (or beside the file its link names): only files of this program's naming,
// owned by the user and older than this run of the program. Returns how many
// were removed.
int RemoveSaveLeftovers(const QString& path);

// Creates `folder` and the folders above it that are missing. A failure names
// the folder that could not be created and the system's reason.
TFileResult<> CreateFolders(const QString& folder);

// The permissions a new file gets: 0644 less the process's umask.
unsigned NewFileMode();

// Test seam: while set, the bytes of every replacement are written through
// the device this returns for the file being written (the temporary file, or
// the file itself when written in place), which it may pass them on to, or
// fail.
using SaveDeviceWrapper = std::function<std::unique_ptr<QIODevice>(QIODevice& temporary)>;
void SetSaveDeviceWrapperForTests(SaveDeviceWrapper wrapper);
