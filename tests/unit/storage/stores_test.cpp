// The ini file and the registry store alone.

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "storage/IniFile.h"
#include "storage/RegistryStore.h"

TEST(IniFile, KeysAndSectionsIgnoreCaseAndValuesAreBounded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    {
        ToxIniFile ini(path);
        ini.WriteString(QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("one"));
        ini.WriteString(QStringLiteral("main"), QStringLiteral("KEY"), QStringLiteral("two"));
        ini.WriteString(QStringLiteral("Main"), QStringLiteral("Long"),
                        QString(3000, QLatin1Char('a')));
        ASSERT_TRUE(ini.UpdateFile());
    }
    ToxIniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("key"), {}),
              QStringLiteral("two"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Long"), {}).size(), 2047);
    EXPECT_EQ(ini.ReadSectionKeys(QStringLiteral("Main")),
              (QStringList{QStringLiteral("Key"), QStringLiteral("Long")}));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Key"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(RegistryStore, OpenWithoutCreateFailsOnMissingKeys) {
    QTemporaryDir dir;
    TRegistryStore reg(dir.filePath(QStringLiteral("r.reg")));
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Software\\A"), false));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\A"), true));
    reg.WriteInteger(QStringLiteral("n"), 5);
    reg.WriteBinary(QStringLiteral("b"), QByteArray("\0\1", 2));
    ASSERT_TRUE(reg.Flush());
    TRegistryStore back(dir.filePath(QStringLiteral("r.reg")));
    ASSERT_TRUE(back.OpenKey(QStringLiteral("software\\a"), false));
    EXPECT_EQ(back.ReadInteger(QStringLiteral("N")), 5);
    EXPECT_EQ(back.ReadBinary(QStringLiteral("b")), QByteArray("\0\1", 2));
    EXPECT_EQ(back.GetDataSize(QStringLiteral("b")), 2);
    EXPECT_EQ(back.ReadString(QStringLiteral("n")), QString()) << "wrong type reads as nothing";
    EXPECT_TRUE(back.OpenKey(QStringLiteral("Software"), false)) << "parents exist";
}

TEST(IniFile, AFileThatCannotBeWrittenIsReportedWithItsName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file should be
    ToxIniFile ini(path);
    ini.WriteString(QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("v"));
    const TFileResult<> written = ini.UpdateFile();
    ASSERT_FALSE(written);
    // The wording, the step, then the system's reason.
    EXPECT_EQ(written.Error().Message(), QStringLiteral("Unable to write to ") + path +
                                             QStringLiteral(": cannot replace it: Is a directory"));
}

TEST(RegistryStore, AFileThatCannotBeWrittenIsReportedWithTheSystemsReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.reg"));
    ASSERT_TRUE(QDir().mkpath(path));
    TRegistryStore reg(path);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\A"), true));
    reg.WriteInteger(QStringLiteral("n"), 5);
    const TFileResult<> flushed = reg.Flush();
    ASSERT_FALSE(flushed);
    EXPECT_FALSE(flushed.Error().Reason().isEmpty());
    EXPECT_EQ(flushed.Error().Message(),
              QStringLiteral("Cannot save file \"%1\": cannot replace it: %2")
                  .arg(path, flushed.Error().Reason()));
}
