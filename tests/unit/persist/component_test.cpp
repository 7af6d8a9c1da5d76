// The persistence component on the container file: load, save, items,
// options and events.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestObjects.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"
#include "storage/ContainerFile.h"

namespace {

// A window with a check item, a sample component and a store in a private folder.
struct Fixture {
    QTemporaryDir dir;
    TSampleWindow window;
    QAction* check = new QAction(&window);
    TSample* sample = new TSample(QStringLiteral("Sample1"), &window);
    ToxPersist* persist = new ToxPersist(&window);
    int afterLoads = 0;
    int afterSaves = 0;

    Fixture() {
        check->setObjectName(QStringLiteral("M_Check"));
        check->setCheckable(true);
        persist->setObjectName(QStringLiteral("oxPersist1"));
        persist->SetProgramDirectory(dir.path());
        persist->BeginReadDescription();
        persist->SetFileName(QStringLiteral("Config.dat"));
        persist->SetOptions({});
        persist->SetItems({
            QStringLiteral("(TForm);Top;1;(TForm)_Top;;1;0;0;;"),
            QStringLiteral("M_Check;Checked;3;M_Check_Checked;;1;0;0;;"),
            QStringLiteral("Sample1;Lines;101;Sample1_Lines;;1;0;0;;"),
            QStringLiteral("Sample1;Caption;10;Sample1_Caption;;1;0;0;;"),
        });
        QObject::connect(persist, &ToxPersist::loaded, [this] { ++afterLoads; });
        QObject::connect(persist, &ToxPersist::saved, [this] { ++afterSaves; });
        persist->EndReadDescription();
    }
    QString Path() const { return dir.filePath(QStringLiteral("Config.dat")); }
    ToxRegFile Stored() const {
        ToxRegFile f;
        f.LoadFromFile(Path());
        f.SetSection(QStringLiteral("Software"));
        return f;
    }
    void Store(const ToxRegFile& f) const { ASSERT_TRUE(f.SaveToFile(Path())); }
};

QStringList EntryNames(const ToxRegFile& f) {
    QStringList names;
    for (const auto& e : f.Entries())
        names << QString::fromUtf8(e.Name);
    return names;
}

} // namespace

TEST(PersistComponent, LoadWithoutAFileStillRaisesAfterLoad) {
    Fixture f;
    f.window.move(10, 20);
    EXPECT_TRUE(f.persist->Load());
    EXPECT_EQ(f.afterLoads, 1);
    EXPECT_EQ(f.window.pos(), QPoint(10, 20));
    EXPECT_FALSE(f.persist->IsLoaded());
}

TEST(PersistComponent, SaveWritesEveryItemInOrderAndLoadRestoresThem) {
    Fixture f;
    f.window.move(0, 120);
    f.check->setChecked(true);
    f.sample->lines = QStringList{QStringLiteral("ColorA=FFFFFF")};
    ASSERT_TRUE(f.persist->Save());
    EXPECT_EQ(f.afterSaves, 1);
    EXPECT_TRUE(f.persist->IsSaved());
    const ToxRegFile stored = f.Stored();
    EXPECT_EQ(EntryNames(stored),
              (QStringList{QStringLiteral("(TForm)_Top"), QStringLiteral("M_Check_Checked"),
                           QStringLiteral("Sample1_Lines"), QStringLiteral("Sample1_Caption")}));
    EXPECT_EQ(stored.ReadString(QStringLiteral("(TForm)_Top")), QStringLiteral("120"));
    EXPECT_EQ(stored.ReadString(QStringLiteral("M_Check_Checked")), QStringLiteral("True"));
    EXPECT_EQ(stored.Entries()[2].Type, ToxRegFile::kBinaryEntry);

    f.window.move(0, 5);
    f.check->setChecked(false);
    f.sample->lines.clear();
    f.sample->caption.clear();
    EXPECT_TRUE(f.persist->Load());
    EXPECT_EQ(f.window.pos().y(), 120);
    EXPECT_TRUE(f.check->isChecked());
    EXPECT_EQ(f.sample->lines, QStringList{QStringLiteral("ColorA=FFFFFF")});
    EXPECT_EQ(f.sample->caption, QStringLiteral("caption"));
    EXPECT_TRUE(f.persist->IsLoaded());
}

TEST(PersistComponent, StoredTextsThatDoNotFitFollowTheKindRules) {
    Fixture f;
    ToxRegFile file;
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("(TForm)_Top"), QStringLiteral("abc"));
    file.WriteString(QStringLiteral("M_Check_Checked"), QStringLiteral("maybe"));
    f.Store(file);
    f.window.move(0, 50);
    f.check->setChecked(true);
    f.persist->Load();
    EXPECT_EQ(f.window.pos().y(), 0);
    EXPECT_TRUE(f.check->isChecked());
}

TEST(PersistComponent, OtherSectionsAndUnknownKeysSurviveASave) {
    Fixture f;
    ToxRegFile file;
    file.SetSection(QStringLiteral("Elsewhere"));
    file.WriteString(QStringLiteral("(TForm)_Top"), QStringLiteral("9"));
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("Unknown"), QStringLiteral("kept"));
    file.WriteString(QStringLiteral("M_Check_Checked"), QStringLiteral("True"));
    f.Store(file);
    ASSERT_TRUE(f.persist->Save());
    const ToxRegFile stored = f.Stored();
    EXPECT_EQ(EntryNames(stored).mid(0, 3),
              (QStringList{QStringLiteral("(TForm)_Top"), QStringLiteral("Unknown"),
                           QStringLiteral("(TForm)_Top")}));
    EXPECT_EQ(stored.Entries()[0].Section, QByteArray("Elsewhere"));
    EXPECT_EQ(stored.ReadString(QStringLiteral("Unknown")), QStringLiteral("kept"));
    EXPECT_EQ(stored.ReadString(QStringLiteral("M_Check_Checked")), QStringLiteral("False"));
}

TEST(PersistComponent, NoSaveItemsAreReadButNeverWritten) {
    Fixture f;
    f.persist->SetItems({QStringLiteral("Sample1;Caption;10;Sample1_Caption;;1;1;0;;")});
    ToxRegFile file;
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("Sample1_Caption"), QStringLiteral("stored"));
    f.Store(file);
    f.persist->Load();
    EXPECT_EQ(f.sample->caption, QStringLiteral("stored"));
    f.sample->caption = QStringLiteral("changed");
    ASSERT_TRUE(f.persist->Save());
    EXPECT_EQ(f.Stored().ReadString(QStringLiteral("Sample1_Caption")), QStringLiteral("stored"));
}

TEST(PersistComponent, LongKeysAreCutAndMayShareAnEntry) {
    Fixture f;
    f.persist->SetItems({
        QStringLiteral("Sample1;Caption;10;ABCDEFGHIJKLMNOPQRSTUVWXYZ_one;;1;0;0;;"),
        QStringLiteral("Sample1;Count;1;ABCDEFGHIJKLMNOPQRSTUVWXYZ_two;;1;0;0;;"),
    });
    ASSERT_TRUE(f.persist->Save());
    const ToxRegFile stored = f.Stored();
    EXPECT_EQ(EntryNames(stored), QStringList{QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW")});
    EXPECT_EQ(stored.ReadString(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ_one")),
              QStringLiteral("7"));
}

TEST(PersistComponent, UnusableAndUnresolvableItemsAreSkipped) {
    Fixture f;
    f.persist->SetItems({
        QStringLiteral(";;1;;;1;0;0;;"),                             // nothing named
        QStringLiteral("Nobody;Caption;10;Nobody_Caption;;1;0;0;;"), // no such component
        QStringLiteral("Sample1;Missing;10;Missing;;1;0;0;;"),       // no such property
        QStringLiteral("Sample1;Buddy.Caption;10;Path;;1;0;0;;"),    // a path through nothing
        QStringLiteral("-;Variant;0;Var;;1;0;0;;"),                  // a variable: registry only
        QStringLiteral("  sample1 ; caption ;10; Trimmed ;;1;0;0;;"),
    });
    ASSERT_TRUE(f.persist->Save());
    EXPECT_EQ(EntryNames(f.Stored()), QStringList{QStringLiteral("Trimmed")});
}

TEST(PersistComponent, DottedPathsReachReferencedComponents) {
    Fixture f;
    auto* other = new TSample(QStringLiteral("Other"), &f.window);
    f.sample->buddy = other;
    other->caption = QStringLiteral("through the path");
    f.persist->SetItems({QStringLiteral("Sample1;Buddy.Caption;10;Path;;1;0;0;;")});
    ASSERT_TRUE(f.persist->Save());
    EXPECT_EQ(f.Stored().ReadString(QStringLiteral("Path")), QStringLiteral("through the path"));
}

TEST(PersistComponent, AControlsReferenceIsFoundAnywhereInItsWindow) {
    Fixture f;
    auto* panel = new QWidget(&f.window);
    auto* control = new TSampleControl(QStringLiteral("Control1"), panel);
    // Owned by the window, not by the panel that holds the control.
    auto* other = new TSample(QStringLiteral("Other"), &f.window);
    ToxRegFile file;
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("Control1_Buddy"), QStringLiteral("other"));
    f.Store(file);
    f.persist->SetItems({QStringLiteral("Control1;Buddy;0;Control1_Buddy;;1;0;0;;")});
    ASSERT_TRUE(f.persist->Load());
    EXPECT_EQ(control->buddy, other);
}

TEST(PersistComponent, BoundsAndParentPseudoProperties) {
    Fixture f;
    auto* panel = new QWidget(&f.window);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* box = new QWidget(&f.window);
    box->setObjectName(QStringLiteral("Box1"));
    box->setGeometry(1, 2, 30, 40);
    f.persist->SetItems({QStringLiteral("Box1;Bounds;0;Box1_Bounds;;1;0;0;;"),
                         QStringLiteral("Box1;Parent;0;Box1_Parent;;1;0;0;;")});
    ASSERT_TRUE(f.persist->Save());
    EXPECT_EQ(f.Stored().ReadString(QStringLiteral("Box1_Bounds")), QStringLiteral("1;2;30;40"));
    EXPECT_EQ(f.Stored().ReadString(QStringLiteral("Box1_Parent")), QStringLiteral("SampleForm"));

    ToxRegFile file;
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("Box1_Bounds"), QStringLiteral("5; x ;50;60"));
    file.WriteString(QStringLiteral("Box1_Parent"), QStringLiteral("panel1"));
    f.Store(file);
    f.persist->Load();
    EXPECT_EQ(box->geometry(), QRect(5, 2, 50, 60));
    EXPECT_EQ(box->parentWidget(), panel);
}

TEST(PersistComponent, BeforeLoadCancelSkipsLoadAndAfterLoad) {
    Fixture f;
    ToxRegFile file;
    file.SetSection(QStringLiteral("Software"));
    file.WriteString(QStringLiteral("Sample1_Caption"), QStringLiteral("stored"));
    f.Store(file);
    QObject::connect(f.persist, &ToxPersist::aboutToLoad, [](bool& cancel) { cancel = true; });
    f.persist->Load();
    EXPECT_EQ(f.afterLoads, 0);
    EXPECT_EQ(f.sample->caption, QStringLiteral("caption"));
}

TEST(PersistComponent, BeforeSaveCancelSkipsSaveAndAfterSave) {
    Fixture f;
    QObject::connect(f.persist, &ToxPersist::aboutToSave, [](bool& cancel) { cancel = true; });
    EXPECT_TRUE(f.persist->Save());
    EXPECT_EQ(f.afterSaves, 0);
    EXPECT_FALSE(QFile::exists(f.Path()));
}

TEST(PersistComponent, DisabledPostsNothingAndSavesNothing) {
    Fixture f;
    f.persist->SetEnabled(false);
    f.persist->PostLoad();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.afterLoads, 0);
    EXPECT_TRUE(f.persist->Save());
    EXPECT_FALSE(QFile::exists(f.Path()));
    EXPECT_EQ(f.afterSaves, 0);
}

TEST(PersistComponent, PostLoadRunsOnlyOnceTheEventLoopDeliversIt) {
    Fixture f;
    f.persist->PostLoad();
    EXPECT_EQ(f.afterLoads, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.afterLoads, 1);
}

TEST(PersistComponent, AFailedSaveReportsWithoutAfterSave) {
    Fixture f;
    f.persist->SetFileName(f.dir.filePath(QStringLiteral("missing/dir/that/is/a/file")));
    QFile blocker(f.dir.filePath(QStringLiteral("missing")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TFileResult<> saved = f.persist->Save();
    ASSERT_FALSE(saved);
    EXPECT_FALSE(saved.Error().Message().isEmpty());
    EXPECT_EQ(f.afterSaves, 0);
    EXPECT_FALSE(f.persist->IsSaved());
}

TEST(PersistComponent, HostileStoreFilesLeaveEveryPropertyAsItWas) {
    const QByteArray inputs[] = {QByteArray("garbage"),
                                 QByteArray("03") + QByteArray(14, '\0') + "||++",
                                 QByteArray(5000, '\xFF')};
    for (const QByteArray& bytes : inputs) {
        Fixture f;
        QFile file(f.Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        EXPECT_TRUE(f.persist->Load());
        EXPECT_EQ(f.sample->caption, QStringLiteral("caption"));
        EXPECT_EQ(f.afterLoads, 1);
        ASSERT_TRUE(f.persist->Save()); // the next save writes a valid container
        EXPECT_TRUE(f.Stored().ValueExists(QStringLiteral("Sample1_Caption")));
    }
}

TEST(PersistComponent, RegistryKeySetterNormalisesOnlyChangedValues) {
    Fixture f;
    f.persist->SetRegistryKey(QStringLiteral("Software\\"));
    EXPECT_EQ(f.persist->RegistryKey(), QStringLiteral("Software\\"));
    f.persist->SetRegistryKey(QStringLiteral("\\\\Software\\\\Vantrelle\\\\"));
    EXPECT_EQ(f.persist->RegistryKey(), QStringLiteral("Software\\Vantrelle"));
}

TEST(PersistComponent, OwnerItemsAreRewrittenAfterTheDescription) {
    Fixture f;
    f.persist->BeginReadDescription();
    f.persist->SetItems({QStringLiteral("SampleForm;Top;1;Form_Top;;1;0;0;;"),
                         QStringLiteral("Sample1;Count;1;Count;;1;0;0;;")});
    f.persist->EndReadDescription();
    EXPECT_EQ(f.persist->Items(), (QStringList{QStringLiteral("(TForm);Top;1;Form_Top;;1;0;0;;"),
                                               QStringLiteral("Sample1;Count;1;Count;;1;0;0;;")}));
}

TEST(PersistComponent, StorePathsFollowTheOptions) {
    Fixture f;
    EXPECT_EQ(f.persist->StoreFilePath(), f.Path());
    f.persist->SetFileName(QStringLiteral("/elsewhere/x.dat"));
    EXPECT_EQ(f.persist->StoreFilePath(), QStringLiteral("/elsewhere/x.dat"));
    f.persist->SetOptions(ToxPersist::oxpAutoFileName | ToxPersist::oxpAutoRegKey);
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    EXPECT_EQ(f.persist->StoreFilePath(), f.dir.filePath(program + QStringLiteral(".oxp")));
    f.persist->SetStorageType(ToxPersist::oxpIniFile);
    EXPECT_EQ(f.persist->StoreFilePath(), f.dir.filePath(program + QStringLiteral(".ini")));
    EXPECT_EQ(f.persist->SectionName(), QStringLiteral("SampleForm\\oxPersist1"));
}

TEST(PersistComponent, AProgramFolderThatCannotBeWrittenGivesWayToTheUserFolder) {
    Fixture f;
    f.persist->SetProgramDirectory(QStringLiteral("/nonexistent/program"));
    EXPECT_EQ(f.persist->StoreFilePath(),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/vantrelle/Config.dat"));
}

TEST(PersistComponent, AStoreThatCannotBeReadIsReportedAndStartUpStillCompletes) {
    Fixture f;
    ASSERT_TRUE(QDir().mkpath(f.Path())); // a folder where the file should be
    const TFileResult<> loaded = f.persist->Load();
    ASSERT_FALSE(loaded);
    EXPECT_FALSE(loaded.Error().Message().isEmpty());
    EXPECT_EQ(loaded.Error().Path(), f.Path());
    EXPECT_EQ(f.afterLoads, 1);
    EXPECT_FALSE(f.persist->Save());
    EXPECT_EQ(f.afterSaves, 0);

    QStringList shown;
    SetMessageBoxObserver([&](const QString& text, TMsgDlgType) { shown << text; });
    QueueMessageBoxAnswer(QMessageBox::Ok);
    f.persist->PostLoad();
    QCoreApplication::processEvents();
    SetMessageBoxObserver({});
    EXPECT_EQ(f.afterLoads, 2);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("Config.dat")));
}

TEST(PersistComponent, AutoLoadPostsTheLoadOnceTheDescriptionIsRead) {
    Fixture f;
    f.persist->BeginReadDescription();
    f.persist->SetOptions(ToxPersist::oxpAutoLoad);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.afterLoads, 0) << "nothing happens while the description is read";
    f.persist->EndReadDescription();
    EXPECT_EQ(f.afterLoads, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.afterLoads, 1);
}

TEST(PersistComponent, WindowsAndSystemFoldersAreTheConfigurationFolders) {
    Fixture f;
    f.persist->SetFileStorageDirectory(ToxPersist::oxpWindows);
    EXPECT_EQ(f.persist->StoreFilePath(),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/Config.dat"));
    f.persist->SetFileStorageDirectory(ToxPersist::oxpSystem);
    EXPECT_EQ(f.persist->StoreFilePath(),
              QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation).constLast() +
                  QStringLiteral("/Config.dat"));
}

TEST(PersistComponent, AutoOptionsNeedAWindowOwner) {
    QObject plain;
    ToxPersist p(&plain);
    EXPECT_FALSE(p.Options().testFlag(ToxPersist::oxpAutoSave));
    p.SetOptions(ToxPersist::oxpAutoSave | ToxPersist::oxpAutoLoad | ToxPersist::oxpAutoFileName);
    EXPECT_EQ(p.Options(), ToxPersist::ToxpOptions(ToxPersist::oxpAutoFileName));
}

TEST(PersistComponent, AutoSaveChainsBehindTheWindowsDestroyHandler) {
    QTemporaryDir dir;
    QStringList order;
    {
        TSampleWindow window;
        window.OnDestroy = [&] { order << QStringLiteral("window"); };
        auto* persist = new ToxPersist(&window);
        persist->SetProgramDirectory(dir.path());
        persist->SetFileName(QStringLiteral("Auto.dat"));
        persist->SetOptions({});
        persist->SetItems({QStringLiteral("(TForm);Left;1;(TForm)_Left;;1;0;0;;")});
        QObject::connect(persist, &ToxPersist::saved, [&] { order << QStringLiteral("saved"); });
        persist->SetOptions(ToxPersist::oxpAutoSave);
        persist->SetOptions({}); // off puts the old handler back
        persist->SetOptions(ToxPersist::oxpAutoSave);
    }
    EXPECT_EQ(order, (QStringList{QStringLiteral("window"), QStringLiteral("saved")}));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Auto.dat"))));
}
