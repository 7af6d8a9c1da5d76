#include "BankFixture.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"

class BankInteractionsTest : public QObject {
    Q_OBJECT
    BankFixture f_;

    // Puts a channel of page 1 to a level through the table and a refresh.
    void Preset(int channel, int level) { f_.Load({{channel, level}}); }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() {
        ClearMessageBoxAnswers();
        TColorDialog::ClearAnswers();
    }

    void draggingAFaderSendsEachLevel() {
        QVERIFY(f_.Start());
        TFader* fader = f_.Fader(2);
        QTest::mousePress(fader, Qt::LeftButton, {}, f_.PointFor(2, 0));
        QCOMPARE(f_.Model().CurrentFader(), 2);
        QTest::mouseMove(fader, f_.PointFor(2, 128));
        const int middle = fader->Digit();
        QVERIFY(std::abs(middle - 128) <= 2);
        QCOMPARE(f_.LastLevel(2), middle);
        QTest::mouseMove(fader, QPoint(f_.PointFor(2, 0).x(), -50));
        QTest::mouseRelease(fader, Qt::LeftButton, {}, QPoint(f_.PointFor(2, 0).x(), -50));
        QCOMPARE(f_.LastLevel(2), 255);
        QCOMPARE(int(f_.Model().Table().LevelOf(2)), 255);
    }

    void nothingChangesBeforeTheDeskIsReady() {
        QVERIFY(f_.Start());
        f_.Model().SetReady(false);
        const std::size_t before = f_.records.size();
        f_.ClickFader(3, 255);
        QCOMPARE(int(f_.Model().Table().LevelOf(3)), 0);
        f_.ClickPage(2);
        QCOMPARE(f_.Model().Page(), 0);
        QVERIFY2(f_.Page(2)->Value(), "the button moves, the page does not");
        QCOMPARE(f_.records.size(), before);
    }

    void momentaryBumpDrivesToFullWhileHeld() {
        QVERIFY(f_.Start());
        Preset(6, 100);
        QTest::mousePress(f_.Bump(6)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.LastLevel(6), 255);
        QCOMPARE(f_.Fader(6)->Digit(), 255);
        QCOMPARE(f_.Bump(6)->Color(), TColor{0xC0C0C0});
        QVERIFY(f_.Bump(6)->hasFocus());
        QTest::mouseRelease(f_.Bump(6)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.LastLevel(6), 100);
        QCOMPARE(int(f_.Model().Table().LevelOf(6)), 100);
        QCOMPARE(f_.Bump(6)->Color(), TColor{0x808080});
        QVERIFY(f_.Fader(6)->hasFocus());
        QCOMPARE(f_.Model().CurrentFader(), 6);
        QCOMPARE(int(f_.Model().Table().BumpOf(6)), 0);
    }

    void momentaryBumpAtFullStillSendsOnPressAndRelease() {
        QVERIFY(f_.Start());
        Preset(7, 255);
        const std::size_t before = f_.records.size();
        QTest::mousePress(f_.Bump(7)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.records.size(), before + 1);
        QTest::mouseRelease(f_.Bump(7)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.records.size(), before + 2);
        QCOMPARE(int(f_.Model().Table().LevelOf(7)), 255);
    }

    void toggleBumpLatchesAndRestores() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        QCOMPARE(f_.Bump(5)->ButtonType(), ToxButtonType::oxbToggle);
        Preset(5, 60);
        f_.ClickBump(5);
        QVERIFY(f_.Bump(5)->Value());
        QCOMPARE(f_.LastLevel(5), 255);
        QCOMPARE(int(f_.Model().Table().BumpOf(5)), 1);
        QCOMPARE(f_.Model().SavedLevel(5), 60);
        QCOMPARE(f_.Bump(5)->Color(), TColor{0xC0C0C0});
        f_.ClickBump(5);
        QVERIFY(!f_.Bump(5)->Value());
        QCOMPARE(f_.LastLevel(5), 60);
        QCOMPARE(int(f_.Model().Table().BumpOf(5)), 0);
        QCOMPARE(f_.Bump(5)->Color(), TColor{0x808080});
    }

    void takingHoldOfALatchedFaderReleasesItsBump() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        Preset(3, 60);
        f_.ClickBump(3);
        QVERIFY(f_.Bump(3)->Value());
        const int dragged = f_.ClickFader(3, 90);
        QVERIFY(!f_.Bump(3)->Value());
        QCOMPARE(f_.Bump(3)->Color(), TColor{0x808080});
        QCOMPARE(int(f_.Model().Table().LevelOf(3)), dragged);
        QCOMPARE(f_.LastLevel(3), dragged);
        QVERIFY2(f_.Model().Table().BumpOf(3) == 0, "the table follows the released button");
        f_.ClickPage(2);
        f_.ClickPage(1);
        QVERIFY2(!f_.Bump(3)->Value(), "a refresh does not latch it again");
    }

    void presetAppliesToTheRightClickedFader() {
        QVERIFY(f_.Start());
        f_.FocusFader(2);
        QVERIFY(f_.ChoosePopup(9, "N701"));
        QCOMPARE(f_.Model().CurrentFader(), 9);
        QCOMPARE(f_.Fader(9)->Digit(), 178);
        QCOMPARE(f_.LastLevel(9), 178);
        QCOMPARE(int(f_.Model().Table().LevelOf(2)), 0);
        const std::size_t before = f_.records.size();
        QVERIFY(f_.ChoosePopup(9, "N701"));
        QVERIFY2(f_.records.size() == before, "the same level sends nothing");
        QVERIFY(f_.ChoosePopup(9, "N101"));
        QCOMPARE(f_.LastLevel(9), 26);
    }

    void presetOnALatchedFaderReleasesItsBump() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        f_.ClickBump(4);
        QVERIFY(f_.Bump(4)->Value());
        QVERIFY(f_.ChoosePopup(4, "N501"));
        QVERIFY(!f_.Bump(4)->Value());
        QCOMPARE(f_.LastLevel(4), 128);
    }

    void clearCaptionEmptiesBothLinesAndKeepsTheBytesBehind() {
        QVERIFY(f_.Start());
        f_.Model().SetNames(10, QStringLiteral("ABCDEFGH"), QStringLiteral("Second"));
        QCOMPARE(f_.Fader(10)->SignalSettings()->Name1(), QStringLiteral("ABCDEFGH"));
        const std::size_t before = f_.records.size();
        QVERIFY(f_.ChoosePopup(10, "M_ClearCaption"));
        QCOMPARE(int(f_.Model().Table().Name1Of(10).Length), 0);
        QCOMPARE(int(f_.Model().Table().Name2Of(10).Length), 0);
        QCOMPARE(std::string(f_.Model().Table().Name1Of(10).Chars, 8), std::string("ABCDEFGH"));
        QCOMPARE(f_.Fader(10)->SignalSettings()->Name1(), QString());
        QCOMPARE(f_.Fader(10)->SignalSettings()->Name2(), QString());
        QCOMPARE(f_.records.size(), before);
    }

    void fadeColourChosenOrCancelled() {
        QVERIFY(f_.Start());
        TColorDialog::QueueAnswer(TColor{0x0000FF});
        QVERIFY(f_.ChoosePopup(11, "M_SetFaderColor"));
        QCOMPARE(f_.Model().Table().FaderColorOf(11), TColor{0x0000FF});
        QCOMPARE(f_.Fader(11)->ColorNonFocus(), TColor{0x0000FF});
        f_.Fader(11)->SetColorNonFocus(0x123456); // what the fader shows drifts
        TColorDialog::QueueAnswer(std::nullopt);
        const std::size_t before = f_.records.size();
        QVERIFY(f_.ChoosePopup(11, "M_SetFaderColor"));
        QCOMPARE(f_.Model().Table().FaderColorOf(11), TColor{0x0000FF});
        QVERIFY2(f_.Fader(11)->ColorNonFocus() == 0x0000FF, "cancel re-applies the stored colour");
        QCOMPARE(f_.records.size(), before);
    }

    void noFaderTakenIsReportedNotUsed() {
        QVERIFY(f_.Start());
        QCOMPARE(f_.Model().CurrentFader(), 0);
        QString shown;
        SetMessageBoxObserver([&](const QString& text, TMsgDlgType) { shown = text; });
        QueueMessageBoxAnswer(QMessageBox::Ok);
        f_.form->ClearNamesItem->trigger();
        SetMessageBoxObserver({});
        QVERIFY2(shown.contains(QStringLiteral("Fader slot 0")), qPrintable(shown));
    }
};

QTEST_MAIN(BankInteractionsTest)
#include "bank_interactions_test.moc"
