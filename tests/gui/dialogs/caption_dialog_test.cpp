#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "BankFixture.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "dialogs/FaderCaptionDialog.h"
#include "model/Captions.h"

class CaptionDialogTest : public QObject {
    Q_OBJECT
    BankFixture f_;
    std::unique_ptr<TFaderCaptionDialog> dialog_;

    // Opens the dialog on a fader of a page, shown but not modal.
    bool Open(int page, int slot) {
        if (!f_.Start()) return false;
        f_.ClickPage(page);
        f_.FocusFader(slot);
        dialog_ = std::make_unique<TFaderCaptionDialog>(f_.Model(), f_.form.get());
        dialog_->Prepare();
        dialog_->show();
        dialog_->activateWindow();
        return QTest::qWaitForWindowActive(dialog_.get());
    }
    void Click(ToxGraphicButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }
    QString Title() const { return dialog_->windowTitle(); }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() { ClearMessageBoxAnswers(); }
    void cleanup() { dialog_.reset(); }

    void controlsSitWhereTheDialogPutsThem() {
        QVERIFY(Open(1, 1));
        QCOMPARE(dialog_->size(), QSize(162, 114));
        // The channel shows inside the dialog, not only in a title a window
        // manager may cut short, and follows the steps.
        QCOMPARE(dialog_->LabelChannel->text(), QStringLiteral("Channel 1"));
        QVERIFY(dialog_->LabelChannel->geometry().top() >= dialog_->ButtonOK->geometry().bottom());
        QVERIFY(dialog_->rect().contains(dialog_->LabelChannel->geometry()));
        QVERIFY(!dialog_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog_->EditCaption1->geometry(), QRect(58, 8, 87, 21));
        QCOMPARE(dialog_->EditCaption2->geometry(), QRect(58, 32, 87, 21));
        QCOMPARE(dialog_->EditCaption1->maxLength(), 12);
        QCOMPARE(dialog_->ButtonOK->geometry(), QRect(120, 60, 30, 33));
        QCOMPARE(dialog_->ButtonNext->ButtonType(), ToxButtonType::oxbRepeat);
        QCOMPARE(dialog_->ButtonNext->Delay(), std::uint16_t{80});
        QCOMPARE(dialog_->ButtonBack->PictureUp().size(), QSize(24, 24));
        QVERIFY(dialog_->ButtonBack->PictureUp() != dialog_->ButtonBack->PictureDown());
        QCOMPARE(dialog_->Label1->text(), QStringLiteral("Caption 1:"));
        QTRY_VERIFY2(dialog_->EditCaption1->hasFocus(),
                     qPrintable(QApplication::focusWidget()
                                    ? QApplication::focusWidget()->objectName()
                                    : QStringLiteral("none")));
    }

    void nextWrapsWithinThePage() {
        QVERIFY(Open(3, 32));
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 96"));
        QCOMPARE(dialog_->LabelChannel->text(), QStringLiteral("Channel 96"));
        Click(dialog_->ButtonNext);
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 65"));
        QCOMPARE(dialog_->LabelChannel->text(), QStringLiteral("Channel 65"));
        QCOMPARE(f_.Model().CurrentFader(), 1);
        Click(dialog_->ButtonBack);
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 96"));
    }

    void backFromTheFirstFaderGoesToTheLast() {
        QVERIFY(Open(1, 1));
        Click(dialog_->ButtonBack);
        QCOMPARE(f_.Model().CurrentFader(), 32);
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 32"));
    }

    void nextStoresAndCancelDropsOnlyTheShownChannel() {
        QVERIFY(Open(1, 4));
        QTest::keyClicks(dialog_->EditCaption1, QStringLiteral("Front"));
        QTest::keyClick(dialog_->EditCaption1, Qt::Key_Tab);
        QTest::keyClicks(dialog_->EditCaption2, QStringLiteral("Wash left"));
        Click(dialog_->ButtonNext);
        QTest::keyClicks(dialog_->EditCaption1, QStringLiteral("Dropped"));
        Click(dialog_->ButtonCancel);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(CaptionText(f_.Model().Table().Name1Of(4)), QStringLiteral("Front"));
        QCOMPARE(CaptionText(f_.Model().Table().Name2Of(4)), QStringLiteral("Wash left"));
        QCOMPARE(f_.Fader(4)->SignalSettings()->Name2(), QStringLiteral("Wash left"));
        QCOMPARE(int(f_.Model().Table().Name1Of(5).Length), 0);
    }

    void downArrowInTheSecondEditRunsNextAndUpRunsBack() {
        QVERIFY(Open(2, 10));
        QTest::keyClick(dialog_->EditCaption2, Qt::Key_Down);
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 43"));
        QTest::keyClick(dialog_->EditCaption1, Qt::Key_Up);
        QTest::keyClick(dialog_->EditCaption1, Qt::Key_Up);
        QCOMPARE(Title(), QStringLiteral("Fader Caption: 41"));
    }

    void okStoresTheFirstTwelveCharacters() {
        QVERIFY(Open(1, 2));
        dialog_->EditCaption1->setMaxLength(40); // text reaching it another way
        dialog_->EditCaption1->setText(QStringLiteral("ABCDEFGHIJKLMNOP"));
        dialog_->EditCaption2->clear();
        Click(dialog_->ButtonOK);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(CaptionText(f_.Model().Table().Name1Of(2)), QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(f_.Fader(2)->SignalSettings()->Name1(), QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(f_.Fader(2)->SignalSettings()->Name2(), QString());
    }

    void enterAndEscapeDoNothing() {
        QVERIFY(Open(1, 3));
        QTest::keyClick(dialog_->EditCaption1, Qt::Key_Escape);
        QTest::keyClick(dialog_->EditCaption1, Qt::Key_Return);
        QVERIFY(dialog_->isVisible());
    }

    void holdingNextRepeats() {
        QVERIFY(Open(1, 30));
        QTest::mousePress(dialog_->ButtonNext, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f_.Model().CurrentFader(), 31);
        QTRY_COMPARE_WITH_TIMEOUT(f_.Model().CurrentFader(), 32, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(f_.Model().CurrentFader(), 1, 2000);
        QTest::mouseRelease(dialog_->ButtonNext, Qt::LeftButton, {}, QPoint(5, 5));
        const int stopped = f_.Model().CurrentFader();
        QTest::qWait(250); // no further steps after the release
        QCOMPARE(f_.Model().CurrentFader(), stopped);
    }

    void setCaptionCommandRunsTheDialogModally() {
        QVERIFY(f_.Start());
        f_.form->StayOnTopItem->trigger();
        f_.FocusFader(6);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TFaderCaptionDialog*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            seen = true;
            QVERIFY(!f_.Model().ForwardKeys());
            QVERIFY(!IsWindowTopmost(f_.form.get()));
            d->EditCaption1->setText(QStringLiteral("Hazer"));
            QTest::mouseClick(d->ButtonOK, Qt::LeftButton, {}, QPoint(5, 5));
        });
        const std::size_t before = f_.records.size();
        f_.form->EditNamesItem->trigger();
        QVERIFY(seen);
        QVERIFY(f_.Model().ForwardKeys());
        QVERIFY(IsWindowTopmost(f_.form.get()));
        QCOMPARE(CaptionText(f_.Model().Table().Name1Of(6)), QStringLiteral("Hazer"));
        QCOMPARE(f_.records.size(), before);
        QVERIFY(f_.form->findChildren<TFaderCaptionDialog*>().isEmpty());
    }

    void openingBeforeAnyFaderHadTheFocusIsReported() {
        QVERIFY(f_.Start());
        QCOMPARE(f_.Model().CurrentFader(), 0);
        QString shown;
        SetMessageBoxObserver([&](const QString& text, TMsgDlgType) { shown = text; });
        QueueMessageBoxAnswer(QMessageBox::Ok);
        f_.form->EditNamesItem->trigger();
        SetMessageBoxObserver({});
        QVERIFY2(shown.startsWith(QStringLiteral("Error on Editing Fader Caption ")),
                 qPrintable(shown));
        QVERIFY(f_.Model().ForwardKeys());
    }
};

QTEST_MAIN(CaptionDialogTest)
#include "caption_dialog_test.moc"
