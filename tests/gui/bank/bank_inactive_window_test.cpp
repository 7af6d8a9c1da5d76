// The bank worked while another window is active, the read-outs after a
// change of display mode, and the fonts of the page and bump buttons.

#include "BankFixture.h"
#include "base/MessageBox.h"

namespace {

// Another top-level window of the program, made active in place of the desk.
struct OtherWindow {
    QWidget window;
    bool Activate() {
        window.resize(120, 80);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

class BankInactiveWindowTest : public QObject {
    Q_OBJECT
    BankFixture f_;
    QStringList boxes_;

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() {
        // An error box would mean a handler failed; answer it and report it.
        boxes_.clear();
        ClearMessageBoxAnswers();
        for (int i = 0; i < 4; ++i)
            QueueMessageBoxAnswer(QMessageBox::Ok);
        SetMessageBoxObserver([this](const QString& text, TMsgDlgType) { boxes_ << text; });
    }
    void cleanup() {
        SetMessageBoxObserver({});
        QVERIFY2(boxes_.isEmpty(), qPrintable(boxes_.join(QStringLiteral(" | "))));
    }

    void rightPressMakesTheFaderCurrentInAnInactiveWindow() {
        QVERIFY(f_.Start());
        OtherWindow other;
        QVERIFY(other.Activate());
        QVERIFY(!f_.form->isActiveWindow());
        QCOMPARE(f_.Model().CurrentFader(), 0);
        QVERIFY(f_.ChoosePopup(4, "N501")); // "50% or 128"
        QCOMPARE(f_.Model().CurrentFader(), 4);
        QCOMPARE(f_.LastLevel(4), 128);
        QCOMPARE(f_.Fader(4)->Digit(), 128);
    }

    void leftPressMakesTheFaderCurrentInAnInactiveWindow() {
        QVERIFY(f_.Start());
        OtherWindow other;
        QVERIFY(other.Activate());
        f_.FocusFader(7);
        QCOMPARE(f_.Model().CurrentFader(), 7);
    }

    void toggleBumpActsFullyInAnInactiveWindow() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        f_.Load({{5, 60}});
        OtherWindow other;
        QVERIFY(other.Activate());

        f_.ClickBump(5);
        QVERIFY(f_.Bump(5)->Value());
        QCOMPARE(f_.LastLevel(5), 255);
        QCOMPARE(int(f_.Model().Table().BumpOf(5)), 1);
        QCOMPARE(f_.Bump(5)->Color(), f_.Bank().Palette().On);

        QVERIFY(other.Activate());
        f_.ClickBump(5);
        QVERIFY(!f_.Bump(5)->Value());
        QCOMPARE(f_.LastLevel(5), 60);
        QCOMPARE(int(f_.Model().Table().BumpOf(5)), 0);
    }

    void momentaryBumpInAnInactiveWindowLeavesItsFaderCurrent() {
        QVERIFY(f_.Start());
        OtherWindow other;
        QVERIFY(other.Activate());
        QTest::mousePress(f_.Bump(9)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.LastLevel(9), 255);
        QTest::mouseRelease(f_.Bump(9)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f_.LastLevel(9), 0);
        QCOMPARE(f_.Model().CurrentFader(), 9);
    }

    void displayModeRefreshesEveryReadOut() {
        QVERIFY(f_.Start());
        f_.Load({{1, 255}, {17, 255}, {32, 255}, {2, 128}});
        QCOMPARE(f_.Fader(1)->ValueText(), QStringLiteral("100"));
        QCOMPARE(f_.Fader(2)->ValueText(), QStringLiteral("50"));
        const std::size_t frames = f_.records.size();

        f_.form->ShowDigitsItem->trigger();
        for (int slot : {1, 17, 32})
            QCOMPARE(f_.Fader(slot)->ValueText(), QStringLiteral("255"));
        QCOMPARE(f_.Fader(2)->ValueText(), QStringLiteral("128"));
        QCOMPARE(f_.Fader(3)->ValueText(), QStringLiteral("0"));

        f_.form->ShowDigitsItem->trigger();
        for (int slot : {1, 17, 32})
            QCOMPARE(f_.Fader(slot)->ValueText(), QStringLiteral("100"));
        QCOMPARE(f_.Fader(2)->ValueText(), QStringLiteral("50"));
        QCOMPARE(f_.records.size(), frames); // a change of display sends nothing
        QCOMPARE(f_.Fader(1)->Digit(), 255);
    }

    void pageAndBumpButtonsUseTheDeskFont() {
        QVERIFY(f_.Start());
        const QFont desk = f_.form->font();
        for (int page : {1, 5, 16}) {
            const QFont font = f_.Page(page)->font();
            QCOMPARE(font.family(), desk.family());
            QCOMPARE(font.pixelSize(), desk.pixelSize());
            QVERIFY(!font.bold());
        }
        // The widest label keeps clear of the button's borders.
        const int advance = QFontMetrics(f_.Page(16)->font()).horizontalAdvance("481 - 512");
        QVERIFY2(advance <= f_.Page(16)->width() - 8, qPrintable(QString::number(advance)));
        for (int slot : {1, 32}) {
            const QFont font = f_.Bump(slot)->font();
            QCOMPARE(font.family(), desk.family());
            QVERIFY(font.bold());
            QCOMPARE(font.pointSize(), 12);
        }
    }
};

QTEST_MAIN(BankInactiveWindowTest)
#include "bank_inactive_window_test.moc"
