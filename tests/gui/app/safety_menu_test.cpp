// Undo, Redo, Blackout and Snapshots on the real window: the items, their
// names as steps are taken, their keys (which still reach the host), and
// what the host receives when a step is undone or a snapshot recalled.

#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/BlackoutLabel.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "bank/Fader.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "dialogs/SnapshotsDialog.h"
#include "dialogs/StoreSnapshotDialog.h"
#include "hostlink/Protocol.h"
#include "persist/Persist.h"
#include "safety/FadePlayer.h"
#include "safety/SnapshotFile.h"
#include "safety/SnapshotStore.h"
#include "safety/UndoHistory.h"

namespace {

constexpr std::uint32_t kFrameMessage = 0x4A;

} // namespace

class SafetyMenuTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    std::unique_ptr<QTemporaryDir> preferences_;
    std::unique_ptr<TMainWindow> form_;

    int Frames() const {
        int n = 0;
        for (const auto& r : records_)
            n += r.Msg == kFrameMessage ? 1 : 0;
        return n;
    }
    const std::vector<std::uint8_t>& LastFrame() const {
        for (auto it = records_.rbegin(); it != records_.rend(); ++it)
            if (it->Msg == kFrameMessage) return it->Payload;
        throw std::logic_error("no frame");
    }
    int Level(int channel) const { return form_->Model().Table().LevelOf(channel); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods) {
        QTest::simulateEvent(form_->windowHandle(), true, key, mods, QString(), false);
        QTest::simulateEvent(form_->windowHandle(), false, key, mods, QString(), false);
    }
    // Acts on the next modal dialog once it shows.
    template <typename F>
    void WhenModal(F act) {
        QTimer::singleShot(0, this, [this, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return WhenModal(act);
            act(modal);
        });
    }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() {
        ClearMessageBoxAnswers();
        TFileDialog::ClearAnswers();
        records_.clear();
        preferences_ = std::make_unique<QTemporaryDir>();
        form_ = std::make_unique<TMainWindow>(std::make_unique<RecordingEndpoint>(&records_));
        form_->PreferenceStore->SetProgramDirectory(preferences_->path());
        form_->show();
        QTRY_VERIFY(form_->Model().Ready());
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        records_.clear();
    }
    void cleanup() { form_.reset(); }

    void itemsFollowTheActionMenuWithTheirKeys() {
        QCOMPARE(form_->UndoItem->objectName(), QStringLiteral("M_Undo"));
        QCOMPARE(form_->RedoItem->objectName(), QStringLiteral("M_Redo"));
        QCOMPARE(form_->BlackoutItem->objectName(), QStringLiteral("M_Blackout"));
        QCOMPARE(form_->SnapshotsItem->objectName(), QStringLiteral("M_Snapshots"));
        QCOMPARE(form_->UndoItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(form_->RedoItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        QCOMPARE(form_->BlackoutItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
        QVERIFY(!form_->UndoItem->isEnabled());
        QVERIFY(!form_->RedoItem->isEnabled());
        QVERIFY(form_->BlackoutItem->isCheckable());
        QVERIFY2(!form_->BlackoutItem->isChecked(), "blackout is off at every start");
        QVERIFY(!form_->Model().Blackout());
    }

    void theUndoItemNamesTheStepAndUndoSendsOneFrameOfTheLevelsBefore() {
        form_->Model().MoveFader(3, 77, {});
        form_->Model().SettleStep();
        form_->AllTo100Item->trigger();
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo All Faders To 100%"));
        QVERIFY(form_->UndoItem->isEnabled());
        const int frames = Frames();
        form_->UndoItem->trigger();
        QCOMPARE(Frames(), frames + 1);
        std::vector<std::uint8_t> expected(512, 0);
        expected[2] = 77;
        QCOMPARE(LastFrame(), expected);
        QCOMPARE(form_->Bank().FaderAt(3)->Digit(), 77);
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo Fader 3"));
        QCOMPARE(form_->RedoItem->text(), QStringLiteral("&Redo All Faders To 100%"));
        form_->RedoItem->trigger();
        QCOMPARE(Level(3), 255);
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo All Faders To 100%"));
        QVERIFY(!form_->RedoItem->isEnabled());
    }

    void ctrlZAndCtrlShiftZWorkAndStillReachTheHost() {
        form_->ForwardKeysItem->setChecked(true);
        form_->PageTo50Item->trigger();
        QCOMPARE(Level(1), 128);
        records_.clear();
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Level(1), 0);
        int keys = 0;
        for (const auto& r : records_)
            if (r.Msg == hostlink::WM_KEYDOWN && (r.WParam & 0xFF) == 'Z') ++keys;
        QCOMPARE(keys, 1);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Level(1), 128);
    }

    void aCaptionDialogSessionAndAColourAreStepsWithoutFrames() {
        form_->Model().SelectFader(4);
        TColorDialog::QueueAnswer(clRed);
        form_->FaderColorItem->trigger();
        QCOMPARE(form_->Model().Table().FaderColorOf(4), clRed);
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo Set Fader Color"));
        const int frames = Frames();
        form_->UndoItem->trigger();
        QCOMPARE(form_->Model().Table().FaderColorOf(4), clGray);
        QCOMPARE(Frames(), frames);
    }

    void blackoutTogglesFromTheKeyWithoutAFrameAndShowsInTheCorner() {
        auto* label = form_->findChild<TBlackoutLabel*>(QStringLiteral("BlackoutLabel"));
        QVERIFY(label != nullptr);
        QVERIFY(label->isHidden());
        Key(Qt::Key_B, Qt::ControlModifier);
        QVERIFY(form_->Model().Blackout());
        QVERIFY(form_->BlackoutItem->isChecked());
        QVERIFY(label->isVisible());
        QCOMPARE(Frames(), 0);
        form_->BlackoutItem->trigger();
        QVERIFY(!form_->Model().Blackout());
        QVERIFY(label->isHidden());
        QVERIFY2(!form_->UndoItem->isEnabled(), "a blackout is no step");
    }

    void storeAsksBeforeOverwritingAndRecallIsAStep() {
        form_->Model().MoveFader(1, 200, {});
        WhenModal([](QWidget* w) {
            auto* dialog = qobject_cast<TStoreSnapshotDialog*>(w);
            QVERIFY(dialog != nullptr);
            dialog->FadeBox->setValue(0.0);
            dialog->NamesBox->setChecked(true);
            QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("StoreButton"))->isDefault());
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        form_->StoreSnapshot(2);
        QVERIFY(form_->Snapshots().At(2).Stored);
        QVERIFY(form_->Snapshots().At(2).WithNames);
        QVERIFY(QFile::exists(form_->SnapshotsPath()));

        // Occupied: "No" keeps the dialog open and the snapshot as it was.
        form_->Model().MoveFader(1, 10, {});
        QueueMessageBoxAnswer(QMessageBox::No);
        WhenModal([](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Return);
            QVERIFY(QApplication::activeModalWidget() == w);
            w->close();
        });
        form_->StoreSnapshot(2);
        QCOMPARE(form_->Snapshots().At(2).Levels[0], 200);

        records_.clear();
        Key(Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(Level(1), 200);
        QCOMPARE(Frames(), 1);
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo Recall Snapshot 2"));
        form_->UndoItem->trigger();
        QCOMPARE(Level(1), 10);
    }

    void theSnapshotsDialogListsTheTenSlotsAndRecallsTheChosenOne() {
        TSnapshot look;
        look.Stored = true;
        look.FadeMs = 1500;
        look.Levels[6] = 99;
        QVERIFY(form_->Snapshots().Store(10, look));
        WhenModal([](QWidget* w) {
            auto* dialog = qobject_cast<TSnapshotsDialog*>(w);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->SlotList->count(), 10);
            QCOMPARE(dialog->SlotList->item(0)->text(), QStringLiteral("1  (Ctrl+1)  empty"));
            QCOMPARE(dialog->SlotList->item(9)->text(), QStringLiteral("10  (Ctrl+0)  fade 1.5 s"));
            QVERIFY(!dialog->RecallButton->isEnabled());
            dialog->SelectSlot(10);
            QVERIFY(dialog->RecallButton->isEnabled());
            dialog->RecallButton->click();
            dialog->reject();
        });
        form_->SnapshotsItem->trigger();
        QVERIFY(form_->FadePlayer().Running());
        QTRY_VERIFY_WITH_TIMEOUT(!form_->FadePlayer().Running(), 5000);
        QCOMPARE(Level(7), 99);
        QCOMPARE(form_->UndoItem->text(), QStringLiteral("&Undo Recall Snapshot 10"));
    }

    void aRefusedSnapshotsFileIsToldAndKept() {
        form_.reset();
        QFile bad(preferences_->filePath(QLatin1String(SNAPSHOT_FILE_NAME)));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not snapshots");
        bad.close();
        form_ = std::make_unique<TMainWindow>(std::make_unique<RecordingEndpoint>(&records_));
        form_->PreferenceStore->SetProgramDirectory(preferences_->path());
        form_->show();
        QTRY_VERIFY(form_->Model().Ready());
        QMessageBox* notice = nullptr;
        QTRY_VERIFY((notice = form_->findChild<QMessageBox*>(
                         QStringLiteral("SnapshotsRefusedNotice"))) != nullptr);
        QVERIFY(notice->text().contains(QStringLiteral("It is not a snapshots file.")));
        notice->close();
        QVERIFY(form_->Snapshots().Refusal().has_value());
        QueueMessageBoxAnswer(QMessageBox::Ok);
        form_->StoreSnapshot(1);
        QVERIFY(bad.open(QIODevice::ReadOnly));
        QCOMPARE(bad.readAll(), QByteArray("not snapshots"));
    }
};

QTEST_MAIN(SafetyMenuTest)
#include "safety_menu_test.moc"
