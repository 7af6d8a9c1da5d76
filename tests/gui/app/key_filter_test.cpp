// The application-wide key filter on real widgets: keys typed while a menu
// is open belong to the menu, as on Windows, where the menu runs its own loop.

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/KeyFilter.h"
#include "hostlink/Protocol.h"

class KeyFilterTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    std::unique_ptr<RecordingEndpoint> endpoint_;
    std::unique_ptr<TKeyFilter> filter_;
    std::unique_ptr<QMainWindow> window_;
    QMenu* menu_ = nullptr;

    void Type(QWindow* target, Qt::Key key) {
        QTest::simulateEvent(target, true, key, Qt::NoModifier, QString(), false);
        QTest::simulateEvent(target, false, key, Qt::NoModifier, QString(), false);
    }

private slots:
    void init() {
        records_.clear();
        endpoint_ = std::make_unique<RecordingEndpoint>(&records_);
        filter_ = std::make_unique<TKeyFilter>(*endpoint_, [] { return true; });
        qApp->installEventFilter(filter_.get());
        window_ = std::make_unique<QMainWindow>();
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
        window_->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QTRY_VERIFY(QApplication::focusWidget() == window_->menuBar());
        Type(window_->windowHandle(), Qt::Key_Right);
        QVERIFY(records_.empty());
    }
};

QTEST_MAIN(KeyFilterTest)
#include "key_filter_test.moc"
