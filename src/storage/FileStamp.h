#pragma once
// What identifies one state of a file on disk (device, inode, size and
// modification time to the nanosecond), so that a copy kept in memory can
// stand in for reading the file again while the stamp is unchanged.

#include <cstdint>

#include <QString>

struct TFileStamp {
    bool Known = false; // false: no file there, or no way to tell
    std::uint64_t Device = 0, Inode = 0;
    std::int64_t Size = 0, ModifiedSec = 0, ModifiedNsec = 0;

    static TFileStamp Of(const QString& path);
    bool operator==(const TFileStamp&) const = default;
};
