#pragma once
// The snapshots' own file beside "Config.dat". Binary, little-endian:
//
//   "VNTLSNAP"  u16 version (1)  u16 slot count (10)
//   per slot:   u8 stored (0, 1); when stored:
//               u8 flags (bit 0: names and colours; no other bit)
//               u32 fade time in ms (0..60000)
//               512 level bytes
//               with names, per channel: 13 bytes name line 1 (length
//               0..12, then 12 characters), 13 bytes name line 2, u32 colour
//
// Nothing may follow. The reader takes the file as hostile: its size is
// bounded before it is read, every length and value is checked, and a file
// that fails any check is refused whole with the reason.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "core/FileResult.h"
#include "safety/Snapshot.h"

inline constexpr char SNAPSHOT_FILE_NAME[] = "Snapshots.dat";
inline constexpr char SNAPSHOT_FILE_SIGNATURE[] = "VNTLSNAP";
inline constexpr int SNAPSHOT_FILE_VERSION = 1;
// The largest file a full set makes.
inline constexpr qsizetype MAX_SNAPSHOT_FILE_SIZE =
    8 + 2 + 2 +
    SNAPSHOT_SLOTS * (1 + 1 + 4 + DMX_UNIVERSE_SIZE + DMX_UNIVERSE_SIZE * (13 + 13 + 4));

QByteArray EncodeSnapshots(const TSnapshotSet& set);
// Empty when `bytes` were read into `set`; else why not, `set` untouched.
QString DecodeSnapshots(QByteArrayView bytes, TSnapshotSet& set);

// A missing file is an empty set. Opens read-only and creates nothing.
TFileResult<> ReadSnapshotFile(const QString& path, TSnapshotSet& set);
// Replaces the file whole; a failure leaves the old one as it was.
TFileResult<> WriteSnapshotFile(const QString& path, const TSnapshotSet& set);
