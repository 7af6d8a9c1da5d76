#pragma once
// Replacing a file so that it is either the old file or the whole new one,
// whatever fails on the way (a full disk, an I/O error, a kill): the bytes
// go to a temporary file beside it, every write, the sync to the disk and
// the close are checked, and only then is it renamed over the old file.
// Temporary files are named "<file>.vantrelle-save-XXXXXX"; an interrupted
// save leaves one, which RemoveSaveLeftovers takes away.

#include <functional>
#include <memory>

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include "core/FileResult.h"

// Writes `bytes` as the new content of `path`. A failure names the file, the
// action (`action`, %1 standing for the path) and the system's reason, and
// leaves the old file, if any, as it was.
TFileResult<> ReplaceFileWhole(const QString& path, QByteArrayView bytes, const QString& action);

// Removes our own temporary files beside `path` (by their name pattern only);
// returns how many were removed.
int RemoveSaveLeftovers(const QString& path);

// Test seam: while set, the bytes of every replacement are written through
// the device this returns for the temporary file (which it may pass them on
// to, or fail).
using SaveDeviceWrapper = std::function<std::unique_ptr<QIODevice>(QIODevice& temporary)>;
void SetSaveDeviceWrapperForTests(SaveDeviceWrapper wrapper);
