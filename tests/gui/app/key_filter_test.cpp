// The application-wide key filter on real widgets: keys typed while a menu
// is open belong to the menu, as on Windows, where the menu runs its own loop.

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/KeyFilter.h"
#include "hostlink/Protocol.h"

// Alt alone enters the menu bar, as on Windows (the offscreen default style
// does not).
class AltEntersMenuBar : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

class KeyFilterTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    std::unique_ptr<RecordingEndpoint> endpoint_;
    std::unique_ptr<TKeyFilter> filter_;
    std::unique_ptr<QMainWindow> window_;
    QMenu* menu_ = nullptr;
    AltEntersMenuBar altStyle_;

    void Type(QWindow* target, Qt::Key key) {
        QTest::simulateEvent(target, true, key, Qt::NoModifier, QString(), false);
        QTest::simulateEvent(target, false, key, Qt::NoModifier, QString(), false);
    }

    void EnterMenuBarWithAlt() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyPress(window_.get(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(window_.get(), Qt::Key_Alt, Qt::NoModifier);
        QTRY_VERIFY(window_->menuBar()->activeAction() != nullptr);
        QVERIFY(QApplication::focusWidget() == window_->menuBar());
    }

private slots:
    void init() {
        records_.clear();
        endpoint_ = std::make_unique<RecordingEndpoint>(&records_);
        filter_ = std::make_unique<TKeyFilter>(*endpoint_, [] { return true; });
        qApp->installEventFilter(filter_.get());
        window_ = std::make_unique<QMainWindow>();
        window_->menuBar()->setStyle(&altStyle_);
        menu_ = window_->menuBar()->addMenu(QStringLiteral("&File"));
        menu_->addAction(QStringLiteral("E&xit"));
        window_->setCentralWidget(new QWidget);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        qApp->removeEventFilter(filter_.get());
        window_.reset();
        filter_.reset();
    }

    void keysReachTheHostWithNoMenuOpen() {
        Type(window_->windowHandle(), Qt::Key_A);
        QCOMPARE(records_.size(), std::size_t{2});
        QCOMPARE(records_[0].Msg, hostlink::WM_KEYDOWN);
        QCOMPARE(records_[0].WParam, 0x41u);
        QCOMPARE(records_[1].Msg, hostlink::WM_KEYUP);
    }

    void noKeyIsForwardedWhileAPopupMenuIsOpen() {
        menu_->popup(window_->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(QApplication::activePopupWidget() == menu_);
        Type(menu_->windowHandle(), Qt::Key_Down);
        Type(window_->windowHandle(), Qt::Key_B);
        QVERIFY2(records_.empty(), "a key typed into an open menu reached the host");
        menu_->close();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        Type(window_->windowHandle(), Qt::Key_C);
        QCOMPARE(records_.size(), std::size_t{2});
        QCOMPARE(records_[0].WParam, 0x43u);
    }

    void noKeyIsForwardedWhileTheMenuBarHasTheKeyboard() {
        EnterMenuBarWithAlt();
        records_.clear();
        Type(window_->windowHandle(), Qt::Key_Right);
        QVERIFY(records_.empty());
    }

    // Alt tapped, then Escape: the loop is over, the keys are the host's
    // again, and a letter does not open the menu it underlines.
    void keysAreForwardedAgainOnceTheMenuBarLoopEnds() {
        EnterMenuBarWithAlt();
        Type(window_->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(window_->menuBar()->activeAction() == nullptr);
        records_.clear();
        Type(window_->windowHandle(), Qt::Key_F);
        QVERIFY2(QApplication::activePopupWidget() == nullptr, "typing F opened the File menu");
        QCOMPARE(records_.size(), std::size_t{2});
        QCOMPARE(records_[0].Msg, hostlink::WM_KEYDOWN);
        QCOMPARE(records_[0].WParam, 0x46u);
    }

    // Where Qt leaves the focus when no widget had it before the loop.
    void aMenuBarHoldingTheFocusAfterItsLoopPassesKeysOn() {
        window_->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QTRY_VERIFY(QApplication::focusWidget() == window_->menuBar());
        Type(window_->windowHandle(), Qt::Key_F);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(records_.size(), std::size_t{2});
        QVERIFY(QApplication::focusWidget() != window_->menuBar());
    }

    void aClickInTheWindowTakesTheKeyboardBackFromTheMenuBar() {
        window_->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QTRY_VERIFY(QApplication::focusWidget() == window_->menuBar());
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                          window_->centralWidget()->geometry().center());
        QVERIFY(QApplication::focusWidget() != window_->menuBar());
    }

    // Alt+F, Escape (the menu closes, its title stays highlighted), then a
    // click on the window's background: the loop is over.
    void aClickOutsideTheMenuBarEndsItsLoop() {
        EnterMenuBarWithAlt();
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                          window_->centralWidget()->geometry().center());
        QVERIFY(window_->menuBar()->activeAction() == nullptr);
        records_.clear();
        Type(window_->windowHandle(), Qt::Key_F);
        QVERIFY2(QApplication::activePopupWidget() == nullptr, "typing F opened the File menu");
        QCOMPARE(records_.size(), std::size_t{2});
    }

    // X repeats no modifier; Windows repeats a held Shift or Ctrl.
    void heldShiftRepeatsWithThePreviousStateBitThenOneKeyUp() {
        filter_->SetModifierRepeat(40, 15);
        QTest::simulateEvent(window_->windowHandle(), true, Qt::Key_Shift, Qt::ShiftModifier,
                             QString(), false);
        QTRY_VERIFY(records_.size() >= 4);
        QTest::simulateEvent(window_->windowHandle(), false, Qt::Key_Shift, Qt::NoModifier,
                             QString(), false);
        QTest::qWait(80);
        QCOMPARE(records_.front().WParam, 0x110u);
        QCOMPARE(records_.front().LParam, 0x002A0001u);
        for (std::size_t i = 1; i + 1 < records_.size(); ++i) {
            QCOMPARE(records_[i].Msg, hostlink::WM_KEYDOWN);
            QCOMPARE(records_[i].WParam, 0x110u);
            QCOMPARE(records_[i].LParam, 0x402A0001u);
        }
        QCOMPARE(records_.back().Msg, hostlink::WM_KEYUP);
        QCOMPARE(records_.back().WParam, 0x10u);
        QCOMPARE(records_.back().LParam, 0xC02A0001u);
    }

    void heldCtrlRepeatsUntilAnotherKeyIsPressed() {
        filter_->SetModifierRepeat(40, 15);
        QTest::simulateEvent(window_->windowHandle(), true, Qt::Key_Control, Qt::ControlModifier,
                             QString(), false);
        QTRY_VERIFY(records_.size() >= 3);
        QCOMPARE(records_[1].WParam, 0x211u);
        QCOMPARE(records_[1].LParam, 0x401D0001u);
        QTest::simulateEvent(window_->windowHandle(), true, Qt::Key_B, Qt::ControlModifier,
                             QString(), false);
        const std::size_t afterB = records_.size();
        QTest::qWait(100);
        QCOMPARE(records_.size(), afterB);
        QCOMPARE(records_.back().WParam, 0x242u);
        QTest::simulateEvent(window_->windowHandle(), false, Qt::Key_B, Qt::ControlModifier,
                             QString(), false);
        QTest::simulateEvent(window_->windowHandle(), false, Qt::Key_Control, Qt::NoModifier,
                             QString(), false);
    }
};

QTEST_MAIN(KeyFilterTest)
#include "key_filter_test.moc"
