#include "storage/FileStamp.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

TFileStamp TFileStamp::Of(const QString& path) {
    TFileStamp s;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return s;
    s.Known = true;
    s.Device = static_cast<std::uint64_t>(st.st_dev);
    s.Inode = static_cast<std::uint64_t>(st.st_ino);
    s.Size = static_cast<std::int64_t>(st.st_size);
    s.ModifiedSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.ModifiedNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
#else
    (void)path; // unknown: the file is always read again
#endif
    return s;
}
