// The main window's preferences: the deferred load at start, the save on
// close, and the file they leave behind.

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"
#include "storage/ContainerFile.h"

namespace {

const char* const kEntryNames[] = {
    "(TForm)_Top",
    "(TForm)_Left",
    "M_Displayvalueasdigit_C",
    "M_ButtonAsToggle_Checke",
    "M_PassKeypressesToHalve",
    "M_MemoriseFaderStatusOn",
    "M_StayOnTop_Checked",
    "ColorDialog1_CustomColo",
    "M_GradientLook_Checked",
    "SaveDialog1_FileName",
    "OpenDialog1_FileName",
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PersistWiringTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainWindow> Start(const QString& dir) {
        auto form = std::make_unique<TMainWindow>(RecordingEndpoint::NoHost());
        form->PreferenceStore->SetProgramDirectory(dir);
        form->show();
        return form;
    }
    QString ConfigPath(const QTemporaryDir& dir) {
        return dir.filePath(QStringLiteral("Config.dat"));
    }

private slots:
    void init() {
        ClearMessageBoxAnswers();
        SetMessageBoxObserver({});
    }

    void firstStartWithoutTheFileStillCompletesStartUp() {
        QTemporaryDir dir;
        auto form = Start(dir.path());
        QVERIFY(!form->Model().Ready()); // the load waits for the event loop
        QTRY_VERIFY(form->Model().Ready());
        QVERIFY(!form->StayOnTopItem->isChecked());
        QVERIFY(form->OpenDialog->FileName().isEmpty());
        QVERIFY(!QFile::exists(ConfigPath(dir)));
    }

    void closingWritesTheElevenEntriesInItemOrder() {
        QTemporaryDir dir;
        auto form = Start(dir.path());
        QTRY_VERIFY(form->Model().Ready());
        form->StayOnTopItem->setChecked(true);
        form->SaveDialog->SetFileName(QStringLiteral("/shows/night.HXI"));
        QueueMessageBoxAnswer(QMessageBox::No);
        QVERIFY(form->close());

        ToxRegFile stored;
        QVERIFY(stored.LoadFromFile(ConfigPath(dir)));
        QCOMPARE(stored.Entries().size(), std::size(kEntryNames));
        for (std::size_t i = 0; i < std::size(kEntryNames); ++i) {
            QCOMPARE(stored.Entries()[i].Name, QByteArray(kEntryNames[i]));
            QCOMPARE(stored.Entries()[i].Section, QByteArray("Software"));
        }
        stored.SetSection(QStringLiteral("Software"));
        QCOMPARE(stored.ReadString(QStringLiteral("(TForm)_Top")), QString::number(form->Top()));
        QCOMPARE(stored.ReadString(QStringLiteral("M_StayOnTop_Checked")), QStringLiteral("True"));
        QCOMPARE(stored.ReadString(QStringLiteral("M_GradientLook_Checked")),
                 QStringLiteral("False"));
        QCOMPARE(stored.ReadString(QStringLiteral("SaveDialog1_FileName")),
                 QStringLiteral("/shows/night.HXI"));
        char block[40] = {};
        QCOMPARE(stored.ReadBinary(QStringLiteral("ColorDialog1_CustomColors"), block, 40), 34);
        QCOMPARE(QByteArray(block, 6), QByteArray("EMPTY\0", 6));
    }

    void storedPreferencesAreAppliedBeforeAfterLoad() {
        QTemporaryDir dir;
        {
            auto form = Start(dir.path());
            QTRY_VERIFY(form->Model().Ready());
            form->GradientItem->setChecked(true);
            form->ShowDigitsItem->setChecked(true);
            form->ColorDialog->SetCustomColors({QStringLiteral("ColorA=0000FF")});
            form->OpenDialog->SetFileName(QStringLiteral("/shows/last.HXI"));
            form->move(40, 60);
            QueueMessageBoxAnswer(QMessageBox::No);
            QVERIFY(form->close());
        }
        auto form = Start(dir.path());
        bool gradientAtAfterLoad = false;
        // Seen from inside the window's own handler, as it makes the desk ready.
        connect(&form->Model(), &TDeskModel::changed, form.get(), [&](const TDeskChange& c) {
            if (c.Has(TDeskChange::Readiness) && form->Model().Ready())
                gradientAtAfterLoad = form->GradientItem->isChecked();
        });
        QTRY_VERIFY(form->Model().Ready());
        QVERIFY(gradientAtAfterLoad);
        QVERIFY(form->ShowDigitsItem->isChecked());
        QVERIFY(!form->StayOnTopItem->isChecked());
        QCOMPARE(form->ColorDialog->CustomColors(), QStringList{QStringLiteral("ColorA=0000FF")});
        QCOMPARE(form->OpenDialog->FileName(), QStringLiteral("/shows/last.HXI"));
        QCOMPARE(form->pos(), QPoint(40, 60));
    }

    void theStoreAnnouncesOneLoadAtStartAndOneSaveAtClose() {
        QTemporaryDir dir;
        auto form = Start(dir.path());
        QSignalSpy loaded(form->PreferenceStore, &ToxPersist::loaded);
        QSignalSpy saved(form->PreferenceStore, &ToxPersist::saved);
        QTRY_VERIFY(form->Model().Ready());
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(saved.count(), 0);
        QueueMessageBoxAnswer(QMessageBox::No);
        QVERIFY(form->close());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(loaded.count(), 1);
        QVERIFY(QFile::exists(ConfigPath(dir)));
    }

    void cancelInTheCloseQuestionLeavesConfigUntouched() {
        QTemporaryDir dir;
        ToxRegFile earlier;
        earlier.SetSection(QStringLiteral("Software"));
        earlier.WriteString(QStringLiteral("M_StayOnTop_Checked"), QStringLiteral("False"));
        QVERIFY(earlier.SaveToFile(ConfigPath(dir)));
        const QByteArray before = ReadAll(ConfigPath(dir));
        auto form = Start(dir.path());
        QTRY_VERIFY(form->Model().Ready());
        form->StayOnTopItem->setChecked(true);
        QueueMessageBoxAnswer(QMessageBox::Cancel);
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(ReadAll(ConfigPath(dir)), before);
    }

    void aFailedSaveIsShownAndTheCloseGoesOn() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto form = Start(blocker.fileName());
        QTRY_VERIFY(form->Model().Ready());
        QStringList errors;
        SetMessageBoxObserver([&](const QString& text, TMsgDlgType type) {
            if (type == TMsgDlgType::mtError) errors << text;
        });
        QueueMessageBoxAnswer(QMessageBox::No);
        QueueMessageBoxAnswer(QMessageBox::Ok);
        QVERIFY(form->close());
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(QStringLiteral("Config.dat")), qPrintable(errors[0]));
    }
};

QTEST_MAIN(PersistWiringTest)
#include "persist_wiring_test.moc"
