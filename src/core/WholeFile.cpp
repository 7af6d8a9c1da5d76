#include "core/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kTemporaryMark[] = ".vantrelle-save-";

// The name a save gives its temporary: the file's name, the mark, and the six
// letters or digits mkstemp chose.
bool IsSaveTemporary(const QString& name, const QString& prefix) {
    constexpr qsizetype kRandomPart = 6;
    if (name.size() != prefix.size() + kRandomPart || !name.startsWith(prefix)) return false;
    return std::all_of(name.cbegin() + prefix.size(), name.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    });
}

SaveDeviceWrapper& Wrapper() {
    static SaveDeviceWrapper wrapper;
    return wrapper;
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes and removes the temporary file unless it was handed over.
class Temporary {
public:
    Temporary(QString path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~Temporary() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(QFile::encodeName(path_).constData());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int Fd() const { return fd_; }
    // errno of closing, or 0.
    int Close() {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0 ? 0 : errno;
    }
    void Renamed() { renamed_ = true; }

private:
    QString path_;
    int fd_;
    bool renamed_ = false;
};

// Writes everything, going on after short writes; errno or 0.
int WriteAll(int fd, QByteArrayView bytes) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<std::size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        p += n;
        left -= n;
    }
    return 0;
}

// Through the test seam's device; its error text, or empty.
QString WriteThroughWrapper(int fd, QByteArrayView bytes) {
    QFile temporary;
    if (!temporary.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::DontCloseHandle))
        return temporary.errorString();
    std::unique_ptr<QIODevice> device = Wrapper()(temporary);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device->write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return device->errorString().isEmpty() ? SystemReason(EIO) : device->errorString();
        done += n;
    }
    return {};
}

} // namespace

void SetSaveDeviceWrapperForTests(SaveDeviceWrapper wrapper) {
    Wrapper() = std::move(wrapper);
}

TFileResult<> ReplaceFileWhole(const QString& path, QByteArrayView bytes, const QString& action) {
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    QByteArray name = QFile::encodeName(target.absoluteFilePath() + QLatin1String(kTemporaryMark) +
                                        QStringLiteral("XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return TFileError(path, action, SystemReason(errno));
    Temporary temporary(QFile::decodeName(name), fd);

    if (Wrapper()) {
        if (const QString why = WriteThroughWrapper(fd, bytes); !why.isEmpty())
            return TFileError(path, action, why);
    } else if (const int e = WriteAll(fd, bytes); e != 0) {
        return TFileError(path, action, SystemReason(e));
    }
    // The new file keeps the old one's permissions, or the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(QFile::encodeName(path).constData(), &old) == 0
                            ? (old.st_mode & 07777)
                            : static_cast<mode_t>(0644 & ~[] {
                                  const mode_t m = ::umask(0);
                                  ::umask(m);
                                  return m;
                              }());
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return TFileError(path, action, SystemReason(errno));
    if (const int e = temporary.Close(); e != 0) return TFileError(path, action, SystemReason(e));
    if (::rename(name.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return TFileError(path, action, SystemReason(errno));
    temporary.Renamed();
    // The rename itself reaches the disk with the folder.
    if (const int dir =
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

int RemoveSaveLeftovers(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + QLatin1String(kTemporaryMark);
    int removed = 0;
    QDirIterator it(target.absolutePath(), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo f = it.nextFileInfo();
        if (!IsSaveTemporary(f.fileName(), prefix) || f.isSymLink() || f.ownerId() != ::getuid())
            continue;
        if (QFile::remove(f.absoluteFilePath())) ++removed;
    }
    return removed;
}
