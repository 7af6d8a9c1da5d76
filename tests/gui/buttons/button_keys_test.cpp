// Accelerators, kinds, modal results, menus, double clicks and the repeat
// button's pictures, through real events.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "EmitterProbe.h"
#include "buttons/Buttons.h"

namespace {

QImage Square(QRgb ink) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(ink);
    return image;
}

} // namespace

class ButtonKeysTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wrapperAcceleratorClicks();
    void faceAcceleratorTogglesThenClicks();
    void spaceOnRepeatClicksOnCharacterAndRelease();
    void releaseOnBottomRowCountsAsInside();
    void doubleClickIsTwoClicks();
    void repeatExchangesPicturesWhileHeld();
    void destroyedHeldButtonLeavesOthersPictures();
    void menuButtonPopsUpWithoutClick();
    void modalResultEndsDialog();
    void closeKindClosesForm();
    void helpKindShowsTopic();
    void actionRunsInsteadOfOnClick();

private:
    QWidget* window_ = nullptr;
    void ShowAndActivate(QWidget* w) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
};

void ButtonKeysTest::init() {
    window_ = new QWidget;
    window_->resize(300, 150);
}

void ButtonKeysTest::cleanup() {
    delete window_;
    window_ = nullptr;
    ToxCustomButton::ShowHelpTopic = nullptr;
}

void ButtonKeysTest::wrapperAcceleratorClicks() {
    auto* w = new ToxButton(window_);
    w->SetCaption("&Close");
    w->resize(75, 26);
    int clicks = 0;
    EmitterProbe probe;
    connect(w, &ToxButton::clicked, &probe, [&] {
        QCOMPARE(probe.Emitter(), static_cast<QObject*>(w));
        ++clicks;
    });
    ShowAndActivate(window_);
    QTest::keyClick(window_, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(clicks, 1);
    w->setEnabled(false);
    QTest::keyClick(window_, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(clicks, 1);
}

void ButtonKeysTest::faceAcceleratorTogglesThenClicks() {
    auto* f = new ToxGraphicButton(window_);
    f->SetButtonType(ToxButtonType::oxbToggle);
    f->SetCaption("&Page");
    QStringList log;
    EmitterProbe probe;
    connect(f, &ToxGraphicButton::valueChanged, &probe, [&] { log << "Change"; });
    connect(f, &ToxGraphicButton::clicked, &probe, [&] { log << "Click"; });
    ShowAndActivate(window_);
    QTest::keyClick(window_, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(log, QStringList({"Change", "Click"}));
    QVERIFY(f->Value());
}

void ButtonKeysTest::spaceOnRepeatClicksOnCharacterAndRelease() {
    auto* w = new ToxButton(window_);
    w->SetButtonType(ToxButtonType::oxbRepeat);
    QSignalSpy clicks(w, &ToxButton::clicked);
    ShowAndActivate(window_);
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
    QTest::keyPress(w, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
    QTest::sendKeyEvent(QTest::KeyAction::Press, w, Qt::Key_Space, ' ', Qt::NoModifier);
    QCOMPARE(clicks.count(), 2); // the keyboard's auto-repeat clicks again
    QVERIFY(w->KeyHeld());
    QTest::keyRelease(w, Qt::Key_Space);
    QCOMPARE(clicks.count(), 3);
    QVERIFY(!w->KeyHeld());
}

void ButtonKeysTest::releaseOnBottomRowCountsAsInside() {
    auto* f = new ToxGraphicButton(window_);
    f->resize(30, 20);
    QSignalSpy clicks(f, &ToxGraphicButton::clicked);
    ShowAndActivate(window_);
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(5, 20));
    QCOMPARE(clicks.count(), 1);
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(30, 5));
    QCOMPARE(clicks.count(), 1);
}

void ButtonKeysTest::doubleClickIsTwoClicks() {
    auto* f = new ToxGraphicButton(window_);
    f->SetButtonType(ToxButtonType::oxbToggle);
    f->SetGroupAllowNoSel(true);
    QSignalSpy clicks(f, &ToxGraphicButton::clicked);
    QSignalSpy changes(f, &ToxGraphicButton::valueChanged);
    ShowAndActivate(window_);
    // What the window system delivers for a double click.
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(changes.count(), 2);
    QVERIFY(!f->Value());
}

void ButtonKeysTest::repeatExchangesPicturesWhileHeld() {
    auto* f = new ToxGraphicButton(window_);
    f->SetButtonType(ToxButtonType::oxbRepeat);
    f->SetInitDelay(30);
    f->SetDelay(1000); // one tick while the test looks
    f->SetPictureUp(Square(qRgb(255, 0, 0)));
    f->SetPictureDown(Square(qRgb(0, 0, 255)));
    QSignalSpy clicks(f, &ToxGraphicButton::clicked);
    ShowAndActivate(window_);
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(f->PictureUp().pixel(0, 0), qRgb(0, 0, 255));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f->PictureUp().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(f->PictureDown().pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(clicks.count(), 1); // no click at release
}

void ButtonKeysTest::destroyedHeldButtonLeavesOthersPictures() {
    auto makeRepeat = [this](int x) {
        auto* f = new ToxGraphicButton(window_);
        f->move(x, 0);
        f->SetButtonType(ToxButtonType::oxbRepeat);
        f->SetInitDelay(20);
        f->SetDelay(1000);
        f->SetPictureUp(Square(qRgb(255, 0, 0)));
        f->SetPictureDown(Square(qRgb(0, 0, 255)));
        return f;
    };
    auto* held = makeRepeat(0);
    auto* other = makeRepeat(50);
    QSignalSpy clicks(held, &ToxGraphicButton::clicked);
    ShowAndActivate(window_);
    QTest::mousePress(held, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(clicks.count(), 1); // its pictures are exchanged now
    delete held;
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(other->PictureUp().pixel(0, 0), qRgb(255, 0, 0));
}

void ButtonKeysTest::menuButtonPopsUpWithoutClick() {
    auto* f = new ToxGraphicButton(window_);
    f->SetButtonType(ToxButtonType::oxbMenu);
    QMenu menu;
    menu.addAction("one");
    f->SetPopupMenu(&menu);
    QStringList log;
    EmitterProbe probe;
    connect(f, &ToxGraphicButton::mousePressed, &probe, [&] { log << "Down"; });
    connect(f, &ToxGraphicButton::mouseReleased, &probe, [&] { log << "Up"; });
    connect(f, &ToxGraphicButton::clicked, &probe, [&] { log << "Click"; });
    ShowAndActivate(window_);
    bool shown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (menu.isVisible()) {
            shown = true;
            menu.close();
        }
    });
    closer.start(20);
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(shown);
    QCOMPARE(f->PressState(), ToxPressState::Up);
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(log, QStringList({"Down", "Up"}));
}

void ButtonKeysTest::modalResultEndsDialog() {
    QDialog dialog;
    auto* ok = new ToxButton(&dialog);
    ok->SetKind(ToxBtnKind::bkOK);
    QSignalSpy clicked(ok, &ToxButton::clicked);
    ShowAndActivate(&dialog);
    QTest::mouseClick(ok->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(dialog.result(), mrOk);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(clicked.count(), 1);
}

void ButtonKeysTest::closeKindClosesForm() {
    auto* close = new ToxButton(window_);
    close->SetKind(ToxBtnKind::bkClose);
    QSignalSpy clicked(close, &ToxButton::clicked);
    ShowAndActivate(window_);
    QTest::mouseClick(close->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!window_->isVisible());
    QCOMPARE(clicked.count(), 0);
}

void ButtonKeysTest::helpKindShowsTopic() {
    auto* help = new ToxButton(window_);
    help->SetKind(ToxBtnKind::bkHelp);
    QSignalSpy clicked(help, &ToxButton::clicked);
    ShowAndActivate(window_);
    // No help context anywhere: an ordinary click.
    QTest::mouseClick(help->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    int topic = 0;
    ToxCustomButton::ShowHelpTopic = [&](int context) { topic = context; };
    window_->setProperty("HelpContext", 42);
    QTest::mouseClick(help->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(topic, 42);
    QCOMPARE(clicked.count(), 1);
}

void ButtonKeysTest::actionRunsInsteadOfOnClick() {
    auto* face = new ToxGraphicButton(window_);
    auto* wrapper = new ToxButton(window_);
    wrapper->move(50, 0);
    QAction faceAction, wrapperAction;
    int faceRuns = 0, wrapperRuns = 0, clicks = 0;
    connect(&faceAction, &QAction::triggered, [&] { ++faceRuns; });
    connect(&wrapperAction, &QAction::triggered, [&] { ++wrapperRuns; });
    face->SetAction(&faceAction);
    wrapper->SetAction(&wrapperAction);
    EmitterProbe probe;
    connect(face, &ToxGraphicButton::clicked, &probe, [&] { ++clicks; });
    connect(wrapper, &ToxButton::clicked, &probe, [&] { ++clicks; });
    ShowAndActivate(window_);
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(wrapper->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(faceRuns, 1);
    QCOMPARE(wrapperRuns, 1);
    QCOMPARE(clicks, 0);
}

QTEST_MAIN(ButtonKeysTest)
#include "button_keys_test.moc"
