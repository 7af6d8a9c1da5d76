#include "SmallDisk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr char kFiller[] = "/.filler";

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Moves this process into a mount namespace of its own, once; 0 or errno.
int PrivateMounts() {
    static const int result = [] {
        if (::unshare(CLONE_NEWNS) != 0) return errno;
        // Without this, mounts below would still propagate to the parent's
        // namespace on systems whose root is shared.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return errno;
        return 0;
    }();
    return result;
}

bool IsRefusal(int error) {
    return error == EPERM || error == EACCES;
}

} // namespace

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

bool SmallDisk::Mount(const QString& folder, qint64 bytes) {
    if (mounted_) {
        error_ = QStringLiteral("already mounted on %1").arg(folder_);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        error_ = QStringLiteral("cannot make %1").arg(folder);
        return false;
    }
    if (const int e = PrivateMounts(); e != 0) {
        refused_ = IsRefusal(e);
        error_ = QStringLiteral("no private mount namespace: %1").arg(Reason(e));
        return false;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("vantrelle-small-disk", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        const int e = errno;
        refused_ = IsRefusal(e);
        error_ = QStringLiteral("mounting a tmpfs on %1: %2").arg(folder, Reason(e));
        return false;
    }
    folder_ = folder;
    mounted_ = true;
    return true;
}

bool SmallDisk::Fill(qint64 leave) {
    if (!mounted_) {
        error_ = QStringLiteral("nothing mounted");
        return false;
    }
    const QByteArray path = QFile::encodeName(folder_ + QLatin1String(kFiller));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = QStringLiteral("filler: %1").arg(Reason(errno));
        return false;
    }
    // Until the file system refuses even a single byte.
    const std::vector<char> block(64 * 1024, 'F');
    std::size_t chunk = block.size();
    int lastError = 0;
    while (chunk > 0) {
        const ssize_t n = ::write(fd, block.data(), chunk);
        if (n > 0) continue;
        lastError = n < 0 ? errno : 0;
        if (n < 0 && lastError == EINTR) continue;
        if (n < 0 && lastError != ENOSPC) break;
        chunk /= 2;
    }
    bool ok = lastError == ENOSPC;
    if (!ok) error_ = QStringLiteral("filler stopped with: %1").arg(Reason(lastError));
    if (ok && leave > 0) {
        // Give back whole pages until `leave` bytes are free, no more.
        const off_t size = ::lseek(fd, 0, SEEK_END);
        const long page = ::sysconf(_SC_PAGESIZE);
        const off_t back = static_cast<off_t>(leave / page * page);
        if (size < back || ::ftruncate(fd, size - back) != 0) {
            ok = false;
            error_ = QStringLiteral("cannot give back %1 bytes of %2").arg(leave).arg(size);
        }
    }
    ::close(fd);
    return ok && FreeBytes() <= leave;
}

bool SmallDisk::Empty() {
    return mounted_ && QFile::remove(folder_ + QLatin1String(kFiller));
}

qint64 SmallDisk::FreeBytes() const {
    struct statvfs st {};
    if (!mounted_ || ::statvfs(QFile::encodeName(folder_).constData(), &st) != 0) return -1;
    return static_cast<qint64>(st.f_bavail) * static_cast<qint64>(st.f_frsize);
}
