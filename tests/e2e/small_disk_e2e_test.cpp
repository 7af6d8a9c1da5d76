// The full-disk helper itself: the mount is real, private to this process,
// fills up and gives its room back, and a writer on it meets ENOSPC.

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "SmallDisk.h"

namespace {

// errno of writing `size` bytes to a new file, or 0 when it all went in.
int WriteError(const QString& path, qint64 size) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return errno;
    const QByteArray bytes(size, 'x');
    const ssize_t n = ::write(fd, bytes.constData(), static_cast<std::size_t>(size));
    const int e = n < 0 ? errno : (n < size ? ENOSPC : 0);
    ::close(fd);
    return e;
}

bool MountedOn(const QString& folder) {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return table.open(QIODevice::ReadOnly) &&
           table.readAll().contains(" " + QFile::encodeName(folder) + " ");
}

} // namespace

TEST(SmallDisk, FillsUpAndGivesItsRoomBack) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString folder = work.filePath(QStringLiteral("disk"));
    {
        SmallDisk disk;
        if (!disk.Mount(folder, 1 << 20)) {
            if (disk.Refused())
                GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.Error().toStdString()
                             << "); run as root to test a full disk";
            FAIL() << disk.Error().toStdString();
        }
        EXPECT_TRUE(MountedOn(folder));
        EXPECT_GT(disk.FreeBytes(), 900 * 1024);
        EXPECT_LE(disk.FreeBytes(), 1 << 20);

        ASSERT_TRUE(disk.Fill(8192)) << disk.Error().toStdString();
        EXPECT_LE(disk.FreeBytes(), 8192);
        EXPECT_EQ(WriteError(folder + QStringLiteral("/small"), 1024), 0);
        EXPECT_EQ(WriteError(folder + QStringLiteral("/big"), 64 * 1024), ENOSPC);

        ASSERT_TRUE(disk.Fill(0)) << disk.Error().toStdString();
        EXPECT_EQ(WriteError(folder + QStringLiteral("/one"), 4096), ENOSPC);

        ASSERT_TRUE(disk.Empty());
        EXPECT_EQ(WriteError(folder + QStringLiteral("/again"), 64 * 1024), 0);
    }
    // Gone with the helper: the folder is the plain, empty one again.
    EXPECT_FALSE(MountedOn(folder));
    EXPECT_TRUE(QDir(folder).isEmpty());
}
