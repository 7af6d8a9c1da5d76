// The Help menu of the main window: the Readme window suspends key
// forwarding and leaves the topmost layer while open; the About box does not.

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "HelpTestSupport.h"
#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "buttons/Buttons.h"
#include "dialogs/AboutBox.h"
#include "dialogs/ReadmeWindow.h"

namespace {

struct Seen {
    bool opened = false;
    bool forwardKeys = true;
    bool topmost = true;
    int keysPosted = -1; // by a key typed into the open window
};

// Once a modal window of type T is up, records the desk's state and clicks
// the window's button; gives up after a few seconds.
template <class T, class Button>
void WhenModal(TMainWindow* desk, Seen* seen, Button T::*button, const int* posted) {
    auto* timer = new QTimer(desk);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, desk, [=] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible()) {
            if (started->elapsed() > 5000) {
                // Never leave a test waiting on a window nobody will close.
                if (QWidget* other = QApplication::activeModalWidget()) other->close();
                timer->deleteLater();
            }
            return;
        }
        timer->deleteLater();
        seen->opened = true;
        seen->forwardKeys = desk->Model().ForwardKeys();
        seen->topmost = IsWindowTopmost(desk);
        const int before = *posted;
        QTest::keyClick(modal->windowHandle(), Qt::Key_A);
        seen->keysPosted = *posted - before;
        ToxButton* b = modal->*button;
        // A real click lands on the face, the widget under the pointer.
        QTest::mouseClick(b->Face(), Qt::LeftButton, {}, b->rect().center());
    });
    timer->start(20);
}

void ChooseHelpItem(TMainWindow* desk, QAction* item) {
    QMenuBar* bar = desk->MenuBar;
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(desk->HelpMenu->menuAction()).center());
    QTRY_VERIFY(desk->HelpMenu->isVisible());
    QTest::mouseClick(desk->HelpMenu, Qt::LeftButton, {},
                      desk->HelpMenu->actionGeometry(item).center());
}

} // namespace

class MainHelpTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void readmeSuspendsForwardingAndRestoresTheLayer_data();
    void readmeSuspendsForwardingAndRestoresTheLayer();
    void aboutLeavesForwardingAndLayerAlone();

private:
    RecordingEndpoint* host_ = nullptr; // always there; counts the keys posted to it
    std::unique_ptr<TMainWindow> desk_;
};

void MainHelpTest::init() {
    QueueMessageBoxAnswer(QMessageBox::Ok); // a missing help file is only reported
    auto host = std::make_unique<RecordingEndpoint>();
    host_ = host.get();
    desk_ = std::make_unique<TMainWindow>(std::move(host));
    desk_->show();
    QVERIFY(QTest::qWaitForWindowExposed(desk_.get()));
    QVERIFY(helptest::Activate(desk_.get()));
    desk_->ForwardKeysItem->setChecked(true); // forwarding on
}

void MainHelpTest::readmeSuspendsForwardingAndRestoresTheLayer_data() {
    QTest::addColumn<bool>("stayOnTop");
    QTest::newRow("StayOnTopChecked") << true;
    QTest::newRow("StayOnTopUnchecked") << false;
}

void MainHelpTest::readmeSuspendsForwardingAndRestoresTheLayer() {
    QFETCH(bool, stayOnTop);
    desk_->StayOnTopItem->setChecked(stayOnTop);
    SetWindowTopmost(desk_.get(), true); // as created, before the preferences apply
    QVERIFY(desk_->Model().ForwardKeys());

    Seen seen;
    WhenModal<TReadmeWindow>(desk_.get(), &seen, &TReadmeWindow::BitBtn1, &host_->Posted);
    ChooseHelpItem(desk_.get(), desk_->ReadmeItem);
    QTRY_VERIFY(seen.opened);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(!seen.forwardKeys);
    QCOMPARE(seen.keysPosted, 0); // keys typed into the Readme stay with the desk
    QVERIFY(!seen.topmost);
    QVERIFY(desk_->Model().ForwardKeys());
    QCOMPARE(IsWindowTopmost(desk_.get()), stayOnTop);
    ClearMessageBoxAnswers();
}

void MainHelpTest::aboutLeavesForwardingAndLayerAlone() {
    SetWindowTopmost(desk_.get(), true);
    Seen seen;
    WhenModal<TAboutBox>(desk_.get(), &seen, &TAboutBox::OKButton, &host_->Posted);
    ChooseHelpItem(desk_.get(), desk_->AboutItem);
    QTRY_VERIFY(seen.opened);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(seen.forwardKeys);
    QCOMPARE(seen.keysPosted, 2); // key-down and key-up reach the host
    QVERIFY(seen.topmost);
    QVERIFY(desk_->Model().ForwardKeys());
    QVERIFY(IsWindowTopmost(desk_.get()));
    ClearMessageBoxAnswers();
}

QTEST_MAIN(MainHelpTest)
#include "main_help_test.moc"
