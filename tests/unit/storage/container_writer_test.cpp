// Saving the container, the ini file and the registry store on a disk that
// fills up anywhere in the file: the old file stays whole and the error
// names the file and the reason. An empty
// or missing file image reads as an empty container.

#include <functional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DiskFullAfter.h"
#include "FileBytes.h"
#include "core/WholeFile.h"
#include "storage/ContainerFile.h"
#include "storage/IniFile.h"
#include "storage/RegistryStore.h"

TEST(ContainerWriter, AFailureAnywhereInTheFileKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.dat"));
    ToxRegFile old;
    old.SetSection(QStringLiteral("Software"));
    old.WriteString(QStringLiteral("(TForm)_Top"), QStringLiteral("100"));
    ASSERT_TRUE(old.SaveToFile(path));
    const QByteArray before = FileBytes(path);

    ToxRegFile fresh;
    fresh.SetSection(QStringLiteral("Software"));
    fresh.WriteString(QStringLiteral("(TForm)_Top"), QStringLiteral("200"));
    fresh.WriteBinary(QStringLiteral("ColorDialog1_CustomColo"), QByteArray(3000, 'c'));
    const QByteArray after = fresh.SaveToBytes();
    // The header, the first record's edges and the second entry's data.
    for (const qint64 n : FailurePoints(after.size(), {16, 117, 121, 240})) {
        SCOPED_TRACE(n);
        const DiskFullAfter disk(n);
        const TFileResult<> saved = fresh.SaveToFile(path);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.Error().Message(),
                  QStringLiteral("Cannot save file \"%1\": cannot write: No space left on device")
                      .arg(path));
        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    ASSERT_TRUE(fresh.SaveToFile(path));
    EXPECT_EQ(FileBytes(path), after);
}

TEST(ContainerWriter, AnEmptyImageReadsAsAnEmptyContainer) {
    ToxRegFile table;
    table.LoadFromBytes(QByteArrayView());
    EXPECT_EQ(table.SaveToBytes(), ToxRegFile().SaveToBytes());
    table.LoadFromBytes(QByteArrayView("03", 2));
    EXPECT_EQ(table.SaveToBytes(), ToxRegFile().SaveToBytes());
}

namespace {

// Runs `save` with the disk failing at every cut point of a file of
// `total` bytes and checks that `path` keeps `before` each time.
void ExpectEveryCutKeeps(const QString& path, qint64 total, const QByteArray& before,
                         const std::function<TFileResult<>()>& save) {
    for (const qint64 n : FailurePoints(total)) {
        SCOPED_TRACE(n);
        const DiskFullAfter disk(n);
        const TFileResult<> saved = save();
        ASSERT_FALSE(saved);
        EXPECT_TRUE(saved.Error().Message().contains(path));
        EXPECT_EQ(saved.Error().Reason(), QStringLiteral("No space left on device"));
        EXPECT_EQ(FileBytes(path), before);
    }
}

} // namespace

TEST(IniWriter, AFailureAnywhereInTheFileKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("desk.ini"));
    ToxIniFile ini(path);
    ini.WriteString(QStringLiteral("Main"), QStringLiteral("Old"), QStringLiteral("1"));
    ASSERT_TRUE(ini.UpdateFile());
    const QByteArray before = FileBytes(path);
    for (int i = 0; i < 40; ++i)
        ini.WriteString(QStringLiteral("Main"), QStringLiteral("Key%1").arg(i),
                        QStringLiteral("value %1").arg(i));
    ExpectEveryCutKeeps(path, 40 * 14, before, [&] { return ini.UpdateFile(); });
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(FileBytes(path).contains("Key39=value 39"));
}

TEST(RegistryWriter, AFailureAnywhereInTheFileKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("current-user.reg"));
    TRegistryStore reg(path);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\A"), true));
    reg.WriteInteger(QStringLiteral("old"), 1);
    ASSERT_TRUE(reg.Flush());
    const QByteArray before = FileBytes(path);
    for (int i = 0; i < 30; ++i)
        reg.WriteInteger(QStringLiteral("n%1").arg(i), i);
    ExpectEveryCutKeeps(path, before.size() + 30 * 20, before, [&] { return reg.Flush(); });
    ASSERT_TRUE(reg.Flush());
    EXPECT_TRUE(FileBytes(path).contains("n29"));
}
