// Replacing a file whole: the new bytes all arrive, or the old file stays as
// it was, with the reason said; no temporary file is left either way.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DiskFullAfter.h"
#include "FileBytes.h"
#include "core/WholeFile.h"

namespace {

const QString kAction = QStringLiteral("Cannot create file \"%1\".");

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class WholeFile : public ::testing::Test {
protected:
    void TearDown() override { SetSaveDeviceWrapperForTests({}); }
    QTemporaryDir dir_;
    QString File() const { return dir_.filePath(QStringLiteral("Config.dat")); }
};

} // namespace

TEST_F(WholeFile, ReplacesTheOldBytesAndKeepsTheFilesMode) {
    ASSERT_TRUE(Put(File(), "old bytes"));
    ASSERT_EQ(::chmod(QFile::encodeName(File()).constData(), 0640), 0);
    ASSERT_TRUE(ReplaceFileWhole(File(), QByteArray("new"), kAction));
    EXPECT_EQ(FileBytes(File()), QByteArray("new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(File()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Names(dir_.path()), QStringList{QStringLiteral("Config.dat")});
}

TEST_F(WholeFile, AFailureAnywhereInTheFileKeepsTheOldFileAndSaysWhy) {
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
        EXPECT_EQ(result.Error().Message(),
                  QStringLiteral("Cannot create file \"%1\". No space left on device").arg(File()));
        EXPECT_EQ(FileBytes(File()), old);
        EXPECT_EQ(Names(dir_.path()), QStringList{QStringLiteral("Config.dat")});
    }
    ASSERT_TRUE(ReplaceFileWhole(File(), fresh, kAction));
    EXPECT_EQ(FileBytes(File()), fresh);
}

TEST_F(WholeFile, ARefusedRenameKeepsWhatIsThereAndLeavesNothing) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("Config.dat")));
    const TFileResult<> result = ReplaceFileWhole(File(), QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Reason(), QStringLiteral("Is a directory"));
    EXPECT_TRUE(Names(dir_.path()).isEmpty());
}

TEST_F(WholeFile, AMissingFolderIsNamedAsTheReason) {
    const QString path = dir_.filePath(QStringLiteral("gone/Config.dat"));
    const TFileResult<> result = ReplaceFileWhole(path, QByteArray("new"), kAction);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().Message(),
              QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(path));
}

TEST_F(WholeFile, LeftoversOfAnInterruptedSaveAreRemovedOnlyByTheirPattern) {
    for (const char* name :
         {"Config.dat", "Config.dat.vantrelle-save-a1B2c3", "Config.dat.vantrelle-save-abc",
          "Config.dat.vantrelle-save-a1B2c3d", "Other.dat.vantrelle-save-a1B2c3", "Config.dat~",
          "CONFIG.DAT.vantrelle-save-a1B2c3", "Config.dat.vantrelle-save-a1B2c\u00e9",
          "Config.dat.vantrelle-save-a1B2c_"})
        ASSERT_TRUE(Put(dir_.filePath(QString::fromUtf8(name)), "x"));
    EXPECT_EQ(RemoveSaveLeftovers(File()), 1);
    EXPECT_EQ(Names(dir_.path()),
              (QStringList{
                  QStringLiteral("CONFIG.DAT.vantrelle-save-a1B2c3"), QStringLiteral("Config.dat"),
                  QStringLiteral("Config.dat.vantrelle-save-a1B2c3d"),
                  QStringLiteral("Config.dat.vantrelle-save-a1B2c_"),
                  QStringLiteral("Config.dat.vantrelle-save-a1B2c\u00e9"),
                  QStringLiteral("Config.dat.vantrelle-save-abc"), QStringLiteral("Config.dat~"),
                  QStringLiteral("Other.dat.vantrelle-save-a1B2c3")}));
}
