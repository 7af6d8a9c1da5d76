// The ini and registry stores, alone and behind the component.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "SampleStore.h"
#include "TestObjects.h"
#include "persist/oxPerst.h"
#include "persist/oxRegFil.h"

namespace {

struct Window : TSampleStore {
    explicit Window(ToxPersist::ToxpStorageType type)
        : TSampleStore(type, QStringLiteral("prefs.ini"),
                       {QStringLiteral("Sample1;Count;1;Count;;1;0;0;;"),
                        QStringLiteral("Sample1;Lines;101;Lines;;1;0;0;;"),
                        QStringLiteral("Sample1;Checked;3;Checked;;1;0;0;;")}) {
        persist->SetRegistryDirectory(dir.filePath(QStringLiteral("registry")));
        persist->SetRegistryKey(QStringLiteral("Software\\Vantrelle"));
    }
};

} // namespace

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

TEST(IniStore, SkipsObjectValuesAndUsesTheKeyAsStored) {
    Window w(ToxPersist::oxpIniFile);
    w.sample->count = 12;
    w.sample->checked = true;
    w.sample->lines = QStringList{QStringLiteral("x")};
    ASSERT_TRUE(w.persist->Save());
    ToxIniFile ini(w.dir.filePath(QStringLiteral("prefs.ini")));
    EXPECT_EQ(ini.ReadSectionKeys(QStringLiteral("Software\\Vantrelle")),
              (QStringList{QStringLiteral("Count"), QStringLiteral("Checked")}));
    w.sample->count = 0;
    w.sample->checked = false;
    w.persist->Load();
    EXPECT_EQ(w.sample->count, 12);
    EXPECT_TRUE(w.sample->checked);
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

TEST(RegistryStore, ItemsAndVariablesRoundTrip) {
    Window w(ToxPersist::oxpRegistry);
    w.sample->count = 33;
    w.sample->lines = QStringList{QStringLiteral("a"), QStringLiteral("b")};
    w.persist->SetVariable(QStringLiteral("LastPage"), 4);
    EXPECT_EQ(w.persist->IndexOfKey(QStringLiteral("lastpage")), 3);
    ASSERT_TRUE(w.persist->Save());

    Window again(ToxPersist::oxpRegistry);
    again.persist->SetRegistryDirectory(w.dir.filePath(QStringLiteral("registry")));
    again.persist->Load();
    EXPECT_EQ(again.sample->count, 33);
    EXPECT_EQ(again.sample->lines, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(again.persist->GetVariable(QStringLiteral("LastPage")).toString(),
              QStringLiteral("4"));
    EXPECT_EQ(again.persist->Items().size(), 4) << "the run-time item came back";
}

TEST(RegistryStore, AnOlderStoredItemListIsNotTaken) {
    Window w(ToxPersist::oxpRegistry);
    w.persist->SetSeqID(1);
    w.persist->SetVariable(QStringLiteral("Extra"), QStringLiteral("x"));
    ASSERT_TRUE(w.persist->Save());

    Window newer(ToxPersist::oxpRegistry);
    newer.persist->SetRegistryDirectory(w.dir.filePath(QStringLiteral("registry")));
    newer.persist->SetSeqID(2);
    newer.persist->Load();
    EXPECT_EQ(newer.persist->Items().size(), 3);
    EXPECT_FALSE(newer.persist->GetVariable(QStringLiteral("Extra")).isValid());
}

TEST(RegistryStore, AddItemRefusesDuplicateKeysAndNamesEmptyKeys) {
    Window w(ToxPersist::oxpRegistry);
    EXPECT_EQ(w.persist->AddItem(0, QStringLiteral("Sample1"), QStringLiteral("Caption"), {}, false,
                                 true, QStringLiteral("the caption")),
              0);
    EXPECT_EQ(w.persist->Items().first(),
              QStringLiteral("Sample1;Caption;;Sample1_Caption;;;0;1;the caption"));
    EXPECT_EQ(w.persist->AddItem(0, QStringLiteral("X"), QStringLiteral("Y"),
                                 QStringLiteral("sample1_caption"), false, false, {}),
              -1);
    EXPECT_EQ(w.persist->IndexOfKey(QStringLiteral("sample1.count")), 1);
}

TEST(IniFile, AFileThatCannotBeWrittenIsReportedWithItsName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file should be
    ToxIniFile ini(path);
    ini.WriteString(QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("v"));
    const TFileResult<> written = ini.UpdateFile();
    ASSERT_FALSE(written);
    // The wording, then the system's reason.
    EXPECT_EQ(written.Error().Message(),
              QStringLiteral("Unable to write to ") + path + QStringLiteral(" Is a directory"));
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
              QStringLiteral("Cannot create file \"%1\". %2").arg(path, flushed.Error().Reason()));
}
