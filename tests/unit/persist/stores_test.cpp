// The ini and registry stores behind the component.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "SampleStore.h"
#include "TestObjects.h"
#include "persist/Persist.h"
#include "storage/IniFile.h"

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
