// Replacing a file whole: the new bytes all arrive, or the old file stays as
// it was, with the step and the reason said; no temporary file is left either
// way; and what the file is (its permissions, link, owner, other names) stays
// what it was. Permission cases run as an ordinary user (see Unprivileged.h).

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DiskFullAfter.h"
#include "FileBytes.h"
#include "Unprivileged.h"
#include "core/WholeFile.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kAction = QStringLiteral("Cannot save file \"%1\":");

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

struct stat Stat(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool Chmod(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Sets the process's umask while it lives.
class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

class WholeFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TUnprivileged::OpenToAll(dir_.path())); }
    void TearDown() override { SetSaveDeviceWrapperForTests({}); }
    QTemporaryDir dir_;
    QString File() const { return dir_.filePath(QStringLiteral("Config.dat")); }
};

} // namespace

TEST_F(WholeFile, ReplacesTheOldBytesAndKeepsTheFilesMode) {
    ASSERT_TRUE(Put(File(), "old bytes"));
    ASSERT_TRUE(Chmod(File(), 0640));
    const ino_t before = Stat(File()).st_ino;
    ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
    EXPECT_EQ(FileBytes(File()), QByteArray("new"));
    EXPECT_EQ(Stat(File()).st_mode & 07777, 0640u);
    EXPECT_NE(Stat(File()).st_ino, before) << "a writable folder gets the atomic rename";
    EXPECT_EQ(Names(dir_.path()), QStringList{QStringLiteral("Config.dat")});
}

TEST_F(WholeFile, AFailureAnywhereInTheFileKeepsTheOldFileAndNamesTheStep) {
    const QByteArray old(3000, 'o');
    QByteArray fresh(5000, '\0');
    for (int i = 0; i < fresh.size(); ++i)
        fresh[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(Put(File(), old));
    for (const qint64 n : FailurePoints(fresh.size(), {16, 117, 4096})) {
        SCOPED_TRACE(n);
        const DiskFullAfter disk(n);
        const TFileResult<> result = ReplaceFileWhole(File(), fresh, kAction);
        ASSERT_FALSE(result);
        // The temporary file was created; writing it failed.
        EXPECT_EQ(result.Error().Message(),
                  QStringLiteral("Cannot save file \"%1\": cannot write: No space left on device")
                      .arg(File()));
        EXPECT_EQ(FileBytes(File()), old);
        EXPECT_EQ(Names(dir_.path()), QStringList{QStringLiteral("Config.dat")});
    }
    ASSERT_TRUE(ReplaceFileWhole(File(), fresh, kAction));
    EXPECT_EQ(FileBytes(File()), fresh);
}

TEST_F(WholeFile, WhatIsNoFileIsNotReplaced) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("Config.dat")));
    TFileResult<> result = ReplaceFileWhole(File(), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(
        result.Error().Message(),
        QStringLiteral("Cannot save file \"%1\": cannot replace it: Is a directory").arg(File()));
    EXPECT_TRUE(Names(dir_.path()).isEmpty());

    // A pipe is refused before anything waits on it.
    const QString pipe = dir_.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    result = ReplaceFileWhole(pipe, QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Reason(), QStringLiteral("Not a regular file"));
    EXPECT_TRUE(S_ISFIFO(Stat(pipe).st_mode));
}

TEST_F(WholeFile, AMissingFolderIsNamedAsTheReason) {
    const QString path = dir_.filePath(QStringLiteral("gone/Config.dat"));
    const TFileResult<> result = ReplaceFileWhole(path, QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Message(),
              QStringLiteral("Cannot save file \"%1\": cannot create a temporary file beside it: "
                             "No such file or directory")
                  .arg(path));
}

TEST_F(WholeFile, ANewFileGetsTheUsualPermissions) {
    const Umask mask(027);
    ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
    EXPECT_EQ(Stat(File()).st_mode & 07777, 0640u);
}

// --- permissions -------------------------------------------------------------

TEST_F(WholeFile, AFileTheUserCannotWriteIsNotWritten) {
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    ASSERT_TRUE(Put(File(), "protected"));
    ASSERT_TRUE(Chmod(File(), 0444));
    const TFileResult<> result = ReplaceFileWhole(File(), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Message(),
              QStringLiteral("Cannot save file \"%1\": cannot open it for writing: "
                             "Permission denied")
                  .arg(File()));
    EXPECT_EQ(FileBytes(File()), QByteArray("protected"));
    EXPECT_EQ(Stat(File()).st_mode & 07777, 0444u);
    EXPECT_EQ(Names(dir_.path()), QStringList{QStringLiteral("Config.dat")});
}

TEST_F(WholeFile, TheUsersOwnUnreadableFileIsReplacedWithTheUsualPermissions) {
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    const Umask mask(022);
    for (const mode_t mode : {0000, 0200}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(Put(File(), "lost"));
        ASSERT_TRUE(Chmod(File(), mode));
        ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
        EXPECT_EQ(Stat(File()).st_mode & 07777, 0644u);
        EXPECT_EQ(FileBytes(File()), QByteArray("new"));
        ASSERT_TRUE(QFile::remove(File()));
    }
}

TEST_F(WholeFile, SomebodyElsesUnreadableFileIsNotReplaced) {
    if (!TUnprivileged::CanBeAnotherUser())
        GTEST_SKIP() << "needs root to own a second user's file";
    ASSERT_TRUE(Put(File(), "theirs"));
    ASSERT_TRUE(Chmod(File(), 0000));
    const TUnprivileged user;
    const TFileResult<> result = ReplaceFileWhole(File(), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Reason(), QStringLiteral("Permission denied"));
    EXPECT_EQ(Stat(File()).st_uid, 0u);
}

TEST_F(WholeFile, AWritableFileInAFolderTheUserCannotWriteIsWrittenInPlace) {
    const QString folder = dir_.filePath(QStringLiteral("shared"));
    const QString path = folder + QStringLiteral("/show.HXI");
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(Put(path, QByteArray(3000, 'o')));
    ASSERT_TRUE(Chmod(path, 0640));
    ASSERT_TRUE(Chmod(folder, 0555));
    const ino_t inode = Stat(path).st_ino;

    // A full disk on the way keeps the old bytes there too.
    {
        const DiskFullAfter disk(1000);
        const TFileResult<> result = ReplaceFileWhole(path, QByteArray(5000, 'n'), kAction);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Error().Step(), QStringLiteral("cannot write"));
        EXPECT_EQ(result.Error().Reason(), QStringLiteral("No space left on device"));
        EXPECT_EQ(FileBytes(path), QByteArray(3000, 'o'));
    }
    ASSERT_TRUE(ReplaceFileWhole(path, QByteArray("shorter"), kAction));
    EXPECT_EQ(FileBytes(path), QByteArray("shorter"));
    EXPECT_EQ(Stat(path).st_ino, inode);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0640u);
    EXPECT_EQ(Names(folder), QStringList{QStringLiteral("show.HXI")});
    Chmod(folder, 0755);
}

TEST_F(WholeFile, AFolderTheUserCannotWriteRefusesANewFileWithTheReason) {
    const QString folder = dir_.filePath(QStringLiteral("shared"));
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(Chmod(folder, 0555));
    const TFileResult<> result =
        ReplaceFileWhole(folder + QStringLiteral("/new.HXI"), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Step(), QStringLiteral("cannot create a temporary file beside it"));
    EXPECT_EQ(result.Error().Reason(), QStringLiteral("Permission denied"));
    Chmod(folder, 0755);
}

// --- links and owners ------------------------------------------------------------

TEST_F(WholeFile, ALinkIsWrittenThroughToItsTarget) {
    const QString shared = dir_.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    const QString target = shared + QStringLiteral("/Config.dat");
    ASSERT_TRUE(Put(target, "old"));
    ASSERT_TRUE(Chmod(target, 0604));
    // A relative link to a link.
    const QString middle = dir_.filePath(QStringLiteral("middle"));
    ASSERT_EQ(::symlink("shared/Config.dat", QFile::encodeName(middle).constData()), 0);
    ASSERT_EQ(::symlink("middle", QFile::encodeName(File()).constData()), 0);

    ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
    EXPECT_TRUE(S_ISLNK(Stat(File()).st_mode));
    EXPECT_TRUE(S_ISLNK(Stat(middle).st_mode));
    EXPECT_EQ(FileBytes(target), QByteArray("new"));
    EXPECT_EQ(Stat(target).st_mode & 07777, 0604u);
    EXPECT_EQ(Names(shared), QStringList{QStringLiteral("Config.dat")});

    // A link to nothing yet makes its target.
    const QString dangling = dir_.filePath(QStringLiteral("next.HXI"));
    ASSERT_EQ(::symlink("shared/next.HXI", QFile::encodeName(dangling).constData()), 0);
    ASSERT_TRUE(ReplaceFileWhole(dangling, QByteArray("made"), kAction));
    EXPECT_TRUE(S_ISLNK(Stat(dangling).st_mode));
    EXPECT_EQ(FileBytes(shared + QStringLiteral("/next.HXI")), QByteArray("made"));
}

TEST_F(WholeFile, ALinkThatLoopsIsRefusedWithTheReason) {
    const QString other = dir_.filePath(QStringLiteral("other"));
    ASSERT_EQ(::symlink("other", QFile::encodeName(File()).constData()), 0);
    ASSERT_EQ(::symlink("Config.dat", QFile::encodeName(other).constData()), 0);
    const TFileResult<> result = ReplaceFileWhole(File(), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Step(), QStringLiteral("cannot follow its link"));
    EXPECT_EQ(result.Error().Reason(), QStringLiteral("Too many levels of symbolic links"));
}

TEST_F(WholeFile, AnotherUsersFileKeepsItsOwner) {
    if (!TUnprivileged::CanBeAnotherUser())
        GTEST_SKIP() << "needs root to own a second user's file";
    // Root's shared file, written by an ordinary user: in place.
    ASSERT_TRUE(Put(File(), "root's"));
    ASSERT_TRUE(Chmod(File(), 0666));
    {
        const TUnprivileged user;
        ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("user's words"), kAction));
    }
    EXPECT_EQ(FileBytes(File()), QByteArray("user's words"));
    EXPECT_EQ(Stat(File()).st_uid, 0u);
    EXPECT_EQ(Stat(File()).st_gid, 0u);
    EXPECT_EQ(Stat(File()).st_mode & 07777, 0666u);

    // A user's file written by root: the new file is given back to its owner.
    const QString theirs = dir_.filePath(QStringLiteral("theirs.HXI"));
    ASSERT_TRUE(Put(theirs, "old"));
    ASSERT_EQ(
        ::chown(QFile::encodeName(theirs).constData(), TUnprivileged::kUser, TUnprivileged::kGroup),
        0);
    ASSERT_TRUE(ReplaceFileWhole(theirs, QByteArray("root's words"), kAction));
    EXPECT_EQ(FileBytes(theirs), QByteArray("root's words"));
    EXPECT_EQ(Stat(theirs).st_uid, TUnprivileged::kUser);
    EXPECT_EQ(Stat(theirs).st_gid, TUnprivileged::kGroup);
    EXPECT_EQ(Names(dir_.path()),
              (QStringList{QStringLiteral("Config.dat"), QStringLiteral("theirs.HXI")}));
}

TEST_F(WholeFile, AFileWithASecondNameIsWrittenInPlace) {
    ASSERT_TRUE(Put(File(), "old"));
    const QString second = dir_.filePath(QStringLiteral("second"));
    ASSERT_EQ(::link(QFile::encodeName(File()).constData(), QFile::encodeName(second).constData()),
              0);
    ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
    EXPECT_EQ(FileBytes(second), QByteArray("new"));
    EXPECT_EQ(Stat(File()).st_ino, Stat(second).st_ino);
}

// --- leftovers -------------------------------------------------------------------

namespace {

bool SetAge(const QString& path, int seconds) {
    timespec times[2]{};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

} // namespace

TEST_F(WholeFile, OnlyThisProgramsOwnOlderLeftoversAreRemoved) {
    const char* const kept[] = {
        "Config.dat",
        // A person's own names.
        "Config.dat.vantrelle-save-backup",
        "Config.dat.vantrelle-save-a1B2c3",
        "Config.dat~",
        // Near misses of the pattern.
        "Config.dat.~vantrelle~part~abc",
        "Config.dat.~vantrelle~part~a1B2c3d",
        "Other.dat.~vantrelle~part~a1B2c3",
        "CONFIG.DAT.~vantrelle~part~a1B2c3",
        "Config.dat.~vantrelle~part~a1B2c_",
    };
    for (const char* name : kept) {
        ASSERT_TRUE(Put(dir_.filePath(QString::fromUtf8(name)), "x"));
        ASSERT_TRUE(SetAge(dir_.filePath(QString::fromUtf8(name)), 3600));
    }
    const QString leftover = dir_.filePath(QStringLiteral("Config.dat.~vantrelle~part~a1B2c3"));
    ASSERT_TRUE(Put(leftover, "x"));
    ASSERT_TRUE(SetAge(leftover, 3600));
    // A save of another desk, under way now.
    const QString current = dir_.filePath(QStringLiteral("Config.dat.~vantrelle~part~Zz9Yy8"));
    ASSERT_TRUE(Put(current, "x"));
    ASSERT_TRUE(SetAge(current, -1));
    // A link of that name is not a file of ours.
    const QString link = dir_.filePath(QStringLiteral("Config.dat.~vantrelle~part~LINK00"));
    ASSERT_EQ(::symlink("Config.dat", QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(SetAge(link, 3600));

    EXPECT_EQ(RemoveSaveLeftovers(File()), 1);
    EXPECT_FALSE(QFile::exists(leftover));
    for (const char* name : kept)
        EXPECT_TRUE(QFile::exists(dir_.filePath(QString::fromUtf8(name)))) << name;
    EXPECT_TRUE(QFile::exists(current));
    EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
}

TEST_F(WholeFile, LeftoversOfANameWithWildcardsAreFound) {
    const QString file = dir_.filePath(QStringLiteral("act[1]*.HXI"));
    const QString leftover = file + QStringLiteral(".~vantrelle~part~x1y2z3");
    ASSERT_TRUE(Put(leftover, "x"));
    ASSERT_TRUE(SetAge(leftover, 60));
    EXPECT_EQ(RemoveSaveLeftovers(file), 1);
    EXPECT_FALSE(QFile::exists(leftover));
}

TEST_F(WholeFile, LeftoversBesideALinksTargetAreRemovedAndOtherUsersAreLeftAlone) {
    const QString shared = dir_.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_TRUE(Put(shared + QStringLiteral("/show.HXI"), "x"));
    const QString link = dir_.filePath(QStringLiteral("show.HXI"));
    ASSERT_EQ(::symlink("shared/show.HXI", QFile::encodeName(link).constData()), 0);
    const QString leftover = shared + QStringLiteral("/show.HXI.~vantrelle~part~q1w2e3");
    ASSERT_TRUE(Put(leftover, "x"));
    ASSERT_TRUE(SetAge(leftover, 60));
    if (TUnprivileged::CanBeAnotherUser()) {
        const TUnprivileged user; // the leftover is root's
        EXPECT_EQ(RemoveSaveLeftovers(link), 0);
    }
    EXPECT_EQ(RemoveSaveLeftovers(link), 1);
    EXPECT_FALSE(QFile::exists(leftover));
}

// --- folders ---------------------------------------------------------------------

TEST_F(WholeFile, CreatingFoldersNamesTheOneThatFailedAndWhy) {
    const QString deep = dir_.filePath(QStringLiteral("a/b/c"));
    ASSERT_TRUE(CreateFolders(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    ASSERT_TRUE(CreateFolders(deep)) << "existing folders are fine";

    ASSERT_TRUE(Put(dir_.filePath(QStringLiteral("plain")), "x"));
    TFileResult<> made = CreateFolders(dir_.filePath(QStringLiteral("plain/sub")));
    ASSERT_FALSE(made);
    EXPECT_EQ(made.Error().Message(),
              QStringLiteral("Cannot create the folder \"%1\". Not a directory")
                  .arg(dir_.filePath(QStringLiteral("plain"))));

    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    const QString closed = dir_.filePath(QStringLiteral("closed"));
    ASSERT_TRUE(QDir().mkdir(closed));
    ASSERT_TRUE(Chmod(closed, 0555));
    made = CreateFolders(closed + QStringLiteral("/config/vantrelle"));
    ASSERT_FALSE(made);
    EXPECT_EQ(made.Error().Path(), closed + QStringLiteral("/config"));
    EXPECT_EQ(made.Error().Reason(), QStringLiteral("Permission denied"));
    Chmod(closed, 0755);
}

// --- kills -----------------------------------------------------------------------

TEST_F(WholeFile, AKillAtAnyMomentOfASaveLeavesOneWholeFile) {
    const QByteArray first(40000, 'a');
    const QByteArray second(12345, 'b');
    ASSERT_TRUE(ReplaceFileWhole(File(), first, kAction));
    std::srand(26);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves without end, one content then the other.
            for (int i = 0;; ++i)
                static_cast<void>(ReplaceFileWhole(File(), i % 2 ? first : second, kAction));
        }
        ::usleep(static_cast<useconds_t>(200 + std::rand() % 5000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const QByteArray now = FileBytes(File());
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size();
    }
}
