#include "core/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <utility>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// No person names a file like this, so what carries it is ours.
constexpr char kTemporaryMark[] = ".~vantrelle~part~";
constexpr int kMaxLinkHops = 40;
// An old file larger than this is not kept in memory to be put back.
constexpr qint64 kMaxRestoreSize = 64 * 1024 * 1024;

// When this run began: leftovers are older, a concurrent save is not.
const timespec kStarted = [] {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

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

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // errno of closing, or 0.
    int Close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Closes and removes the temporary file unless it was handed over.
class Temporary {
public:
    Temporary(QByteArray path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~Temporary() {
        fd_.Close();
        if (!renamed_) ::unlink(path_.constData());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int Fd() const { return fd_.Get(); }
    const QByteArray& Path() const { return path_; }
    int Close() { return fd_.Close(); }
    void Renamed() { renamed_ = true; }

private:
    QByteArray path_;
    ::Fd fd_;
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
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return file.errorString();
    std::unique_ptr<QIODevice> device = Wrapper()(file);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device->write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return device->errorString().isEmpty() ? SystemReason(EIO) : device->errorString();
        done += n;
    }
    return {};
}

// The bytes from the file's current position on; its reason, or empty.
QString WriteBytes(int fd, QByteArrayView bytes) {
    if (Wrapper()) return WriteThroughWrapper(fd, bytes);
    const int e = WriteAll(fd, bytes);
    return e == 0 ? QString() : SystemReason(e);
}

void SyncFolder(const QByteArray& folder) {
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// Follows symbolic links from `path` to the name of what they point at, which
// may not exist yet; errno or 0.
int FollowLinks(const QByteArray& path, QByteArray& out) {
    QByteArray current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0) {
            if (errno != ENOENT) return errno;
            out = current;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            out = current;
            return 0;
        }
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), buffer, sizeof buffer);
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= sizeof buffer) return ENAMETOOLONG;
        const QByteArray link(buffer, n);
        current = link.startsWith('/') ? link : FolderOf(current) + '/' + link;
    }
    return ELOOP;
}

bool CanOpen(const QByteArray& path, int flags) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Copies the extended attributes (access lists among them); false when one
// cannot be copied.
bool CopyAttributes(const QByteArray& from, int to) {
    const ssize_t size = ::llistxattr(from.constData(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    if (size == 0) return true;
    QByteArray names(size, '\0');
    const ssize_t got = ::llistxattr(from.constData(), names.data(), names.size());
    if (got < 0) return false;
    for (const QByteArray& name : names.left(got).split('\0')) {
        if (name.isEmpty()) continue;
        const ssize_t length = ::lgetxattr(from.constData(), name.constData(), nullptr, 0);
        if (length < 0) return false;
        QByteArray value(length, '\0');
        const ssize_t read = ::lgetxattr(from.constData(), name.constData(), value.data(),
                                         static_cast<std::size_t>(value.size()));
        if (read < 0 || ::fsetxattr(to, name.constData(), value.constData(),
                                    static_cast<std::size_t>(read), 0) != 0)
            return false;
    }
    return true;
}

// What a file about to be replaced is, as the user sees it.
struct TOldFile {
    bool Exists = false;
    struct stat Stat {};
    bool Readable = false;
};

enum class TBeside { Done, Failed, NotHere };

struct TAttempt {
    TBeside Outcome = TBeside::Done;
    QString Step;
    int Error = 0;
    QString Reason; // when not a plain errno
};

TAttempt Failed(const char* step, int error) {
    return {TBeside::Failed, QString::fromLatin1(step), error, {}};
}

// Whether a refusal of this kind means "not in this folder" rather than a
// failure: the folder or the rename is not the user's to change.
bool RefusedHere(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

// Writes beside `target` and renames over it.
TAttempt WriteBeside(const QByteArray& target, QByteArrayView bytes, const TOldFile& old,
                     mode_t mode) {
    QByteArray name = target + kTemporaryMark + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (old.Exists && RefusedHere(e)) return {TBeside::NotHere, {}, e, {}};
        return Failed("cannot create a temporary file beside it", e);
    }
    Temporary temporary(name, fd);

    if (old.Exists) {
        // The new file is what the old one was, or it is not put in its place.
        const bool sameOwner = old.Stat.st_uid == ::geteuid() && old.Stat.st_gid == ::getegid();
        if (!sameOwner && ::fchown(fd, old.Stat.st_uid, old.Stat.st_gid) != 0)
            return {TBeside::NotHere, {}, errno, {}};
        if (!CopyAttributes(target, fd)) return {TBeside::NotHere, {}, errno, {}};
    }
    if (const QString why = WriteBytes(fd, bytes); !why.isEmpty())
        return {TBeside::Failed, QStringLiteral("cannot write"), 0, why};
    if (::fchmod(fd, mode) != 0) return Failed("cannot set its permissions", errno);
    if (::fsync(fd) != 0) return Failed("cannot write it to the disk", errno);
    if (const int e = temporary.Close(); e != 0) return Failed("cannot close", e);
    if (::rename(name.constData(), target.constData()) != 0) {
        const int e = errno;
        if (old.Exists && RefusedHere(e)) return {TBeside::NotHere, {}, e, {}};
        return Failed("cannot put the new file in its place", e);
    }
    temporary.Renamed();
    // The rename itself reaches the disk with the folder.
    SyncFolder(FolderOf(target));
    return {};
}

// Writes over the file itself through `fd`, open for writing. Room for the
// new bytes is reserved first, so a full disk is met before anything
// changes; a write that fails all the same puts the old bytes back.
TAttempt WriteInPlace(const QByteArray& target, int fd, QByteArrayView bytes, const TOldFile& old) {
    QByteArray before;
    bool restorable = false;
    if (old.Readable && old.Stat.st_size <= kMaxRestoreSize) {
        QFile reader(QFile::decodeName(target));
        if (reader.open(QIODevice::ReadOnly)) {
            before = reader.readAll();
            restorable = before.size() == old.Stat.st_size;
        }
    }
    if (!bytes.isEmpty() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return Failed("cannot reserve room for it", errno);
    if (const QString why = WriteBytes(fd, bytes); !why.isEmpty()) {
        if (restorable && ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, before) == 0 &&
            ::ftruncate(fd, static_cast<off_t>(before.size())) == 0)
            ::fsync(fd);
        return {TBeside::Failed, QStringLiteral("cannot write"), 0, why};
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return Failed("cannot cut it to its new length", errno);
    if (::fsync(fd) != 0) return Failed("cannot write it to the disk", errno);
    return {};
}

} // namespace

void SetSaveDeviceWrapperForTests(SaveDeviceWrapper wrapper) {
    Wrapper() = std::move(wrapper);
}

unsigned NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644u & ~static_cast<unsigned>(mask);
}

TFileResult<> ReplaceFileWhole(const QString& path, QByteArrayView bytes, const QString& action) {
    const auto fail = [&](const QString& step, int error, const QString& reason = {}) {
        return TFileError(path, action, reason.isEmpty() ? SystemReason(error) : reason, step);
    };
    const auto failWith = [&](const TAttempt& a) { return fail(a.Step, a.Error, a.Reason); };

    QByteArray target;
    if (const int e = FollowLinks(QFile::encodeName(QFileInfo(path).absoluteFilePath()), target);
        e != 0)
        return fail(QStringLiteral("cannot follow its link"), e);

    TOldFile old;
    if (::lstat(target.constData(), &old.Stat) == 0) {
        old.Exists = true;
    } else if (errno != ENOENT) {
        return fail(QStringLiteral("cannot look at it"), errno);
    }
    if (old.Exists && S_ISDIR(old.Stat.st_mode))
        return fail(QStringLiteral("cannot replace it"), EISDIR);
    if (old.Exists && !S_ISREG(old.Stat.st_mode))
        return fail(QStringLiteral("cannot replace it"), 0, QStringLiteral("Not a regular file"));

    // Opened for writing now: what the system refuses the user is refused.
    if (old.Exists) old.Readable = CanOpen(target, O_RDONLY);
    Fd writer(old.Exists
                  ? ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)
                  : -1);
    const int openError = old.Exists && !writer.Valid() ? errno : 0;
    if (openError != 0) {
        const bool ownLostFile =
            openError == EACCES && !old.Readable && old.Stat.st_uid == ::geteuid();
        if (!ownLostFile) return fail(QStringLiteral("cannot open it for writing"), openError);
    }

    const mode_t mode = old.Exists && old.Readable ? (old.Stat.st_mode & 07777)
                                                   : static_cast<mode_t>(NewFileMode());
    // A second name of the file would keep the old bytes after a rename.
    const bool linkedElsewhere = old.Exists && old.Stat.st_nlink > 1;
    if (!linkedElsewhere) {
        const TAttempt beside = WriteBeside(target, bytes, old, mode);
        if (beside.Outcome == TBeside::Done) return {};
        if (beside.Outcome == TBeside::Failed) return failWith(beside);
        if (!writer.Valid()) return fail(QStringLiteral("cannot open it for writing"), openError);
    }
    if (const TAttempt inPlace = WriteInPlace(target, writer.Get(), bytes, old);
        inPlace.Outcome == TBeside::Failed)
        return failWith(inPlace);
    if (const int e = writer.Close(); e != 0) return fail(QStringLiteral("cannot close"), e);
    return {};
}

int RemoveSaveLeftovers(const QString& path) {
    const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    QList<QByteArray> places{absolute};
    if (QByteArray target; FollowLinks(absolute, target) == 0 && target != absolute)
        places << target;
    int removed = 0;
    for (const QByteArray& place : places) {
        const QFileInfo file(QFile::decodeName(place));
        const QString prefix = file.fileName() + QLatin1String(kTemporaryMark);
        // No name filter: a file name may hold the filter's own wildcards.
        QDirIterator it(file.absolutePath(), QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            const QFileInfo f = it.nextFileInfo();
            if (!IsSaveTemporary(f.fileName(), prefix)) continue;
            const QByteArray name = QFile::encodeName(f.absoluteFilePath());
            struct stat st {};
            if (::lstat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
                st.st_uid != ::geteuid())
                continue;
            const bool older =
                st.st_mtim.tv_sec < kStarted.tv_sec ||
                (st.st_mtim.tv_sec == kStarted.tv_sec && st.st_mtim.tv_nsec < kStarted.tv_nsec);
            if (older && ::unlink(name.constData()) == 0) ++removed;
        }
    }
    return removed;
}

TFileResult<> CreateFolders(const QString& folder) {
    const QByteArray absolute =
        QFile::encodeName(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    qsizetype at = 0;
    while (at >= 0) {
        at = absolute.indexOf('/', at + 1);
        const QByteArray part = at < 0 ? absolute : absolute.left(at);
        if (::mkdir(part.constData(), 0777) == 0 || errno == EEXIST) {
            struct stat st {};
            if (::stat(part.constData(), &st) != 0)
                return TFileError(QFile::decodeName(part),
                                  QStringLiteral("Cannot create the folder \"%1\"."),
                                  SystemReason(errno));
            if (!S_ISDIR(st.st_mode))
                return TFileError(QFile::decodeName(part),
                                  QStringLiteral("Cannot create the folder \"%1\"."),
                                  SystemReason(ENOTDIR));
            continue;
        }
        return TFileError(QFile::decodeName(part),
                          QStringLiteral("Cannot create the folder \"%1\"."), SystemReason(errno));
    }
    return {};
}
