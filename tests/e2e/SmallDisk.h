#pragma once
// A small file system for the full-disk cases: a tmpfs mounted by the test
// itself, inside a mount namespace of the test process (the desk it starts
// inherits it), so that nothing outside ever sees the mount and it goes away
// with the process even after a crash. Mounting needs root; where it is
// refused, Refused() says so and the case is skipped.

#include <QString>

class SmallDisk {
public:
    SmallDisk() = default;
    ~SmallDisk(); // unmounts: declare it after whatever owns the folder
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Mounts a tmpfs of `bytes` (rounded up to whole pages) on `folder`,
    // made when missing. False with Error(), and Refused() when the system
    // does not let this process mount.
    bool Mount(const QString& folder, qint64 bytes);
    bool Refused() const { return refused_; }
    QString Error() const { return error_; }

    // Fills the file system with a filler file until at most `leave` bytes
    // are free; false with Error() when that did not happen.
    bool Fill(qint64 leave = 0);
    // Removes the filler: the room is back.
    bool Empty();
    qint64 FreeBytes() const;
    QString Folder() const { return folder_; }

private:
    QString folder_;
    QString error_;
    bool mounted_ = false;
    bool refused_ = false;
};
