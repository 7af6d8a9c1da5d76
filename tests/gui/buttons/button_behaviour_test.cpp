// Behaviour of faces and wrappers driven by real mouse and key events.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStringList>
#include <QtTest>

#include "EmitterProbe.h"
#include "buttons/Buttons.h"

namespace {

// Records signals under a name, in the order they arrive; the receiver of
// every connection it makes.
struct EventLog : EmitterProbe {
    QStringList entries;
    void Hook(ToxCustomGraphicButton* b, const QString& name) {
        connect(b, &ToxGraphicButton::mousePressed, this,
                [this, name] { entries << name + ".MouseDown"; });
        connect(b, &ToxGraphicButton::mouseReleased, this,
                [this, name] { entries << name + ".MouseUp"; });
        connect(b, &ToxGraphicButton::valueChanged, this,
                [this, name, b] { entries << name + ".Change=" + (b->Value() ? "1" : "0"); });
        connect(b, &ToxGraphicButton::clicked, this, [this, name] { entries << name + ".Click"; });
    }
};

void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace

class ButtonBehaviourTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void valueRefusedOnCommandAndRepeat_data();
    void valueRefusedOnCommandAndRepeat();
    void commandClickOrder();
    void pageGroupWithoutNoSel();
    void pageGroupWithNoSel();
    void groupZeroTogglesIndependent();
    void codeCannotReleaseDownToggleWithoutNoSel();
    void groupNotificationCopiesAllowNoSel();
    void releaseOutsideRaisesNothing();
    void typeChangeKeepsValue();
    void repeatClicksWhileHeld();
    void quickRepeatClickDoesNothing();
    void repeatStopsWhilePointerOutside();
    void wrapperFocusedBeforeMouseDown();
    void wrapperReRaisesWithItselfAsSender();
    void wrapperEmitsItsFacesSignalsOnceAsItsOwn();
    void toggleEmitsEachNewValueOnce();
    void faceNeverTakesFocus();
    void fontsAreTheButtonsOwn();
    void wrapperGroupAcrossContainer();
    void spaceClicksWrapper();
    void spaceTogglesWrapper();
    void enterOnDefaultEscapeOnCancel();
    void kindSetsRowAndReportsCustom();
    void hotTrackingOnEnterLeave();

private:
    QWidget* container_ = nullptr;
    ToxGraphicButton* Face(int x = 0) {
        auto* b = new ToxGraphicButton(container_);
        b->setGeometry(x, 0, 40, 30);
        b->show();
        return b;
    }
    ToxButton* Wrapper(int x = 0) {
        auto* b = new ToxButton(container_);
        b->setGeometry(x, 40, 40, 30);
        b->show();
        return b;
    }
};

void ButtonBehaviourTest::init() {
    container_ = new QWidget;
    container_->resize(400, 200);
    container_->show();
    QVERIFY(QTest::qWaitForWindowExposed(container_));
    container_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(container_));
}

void ButtonBehaviourTest::cleanup() {
    delete container_;
    container_ = nullptr;
}

void ButtonBehaviourTest::valueRefusedOnCommandAndRepeat_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("command") << static_cast<int>(ToxButtonType::oxbCommand);
    QTest::newRow("repeat") << static_cast<int>(ToxButtonType::oxbRepeat);
    QTest::newRow("menu") << static_cast<int>(ToxButtonType::oxbMenu);
}

void ButtonBehaviourTest::valueRefusedOnCommandAndRepeat() {
    QFETCH(int, type);
    auto* b = Face();
    b->SetButtonType(static_cast<ToxButtonType>(type));
    EventLog log;
    log.Hook(b, "b");
    b->SetValue(true);
    QCOMPARE(b->Value(), false);
    QVERIFY(log.entries.isEmpty());
}

void ButtonBehaviourTest::commandClickOrder() {
    auto* b = Face();
    EventLog log;
    log.Hook(b, "b");
    Click(b);
    QCOMPARE(log.entries, QStringList({"b.MouseDown", "b.MouseUp", "b.Click"}));
    QCOMPARE(b->PressState(), ToxPressState::Up);
}

void ButtonBehaviourTest::pageGroupWithoutNoSel() {
    ToxGraphicButton* pages[3];
    EventLog log;
    for (int i = 0; i < 3; ++i) {
        pages[i] = Face(i * 45);
        pages[i]->SetButtonType(ToxButtonType::oxbToggle);
        pages[i]->SetGroupAllowNoSel(false);
        pages[i]->SetGroup(1);
    }
    pages[0]->SetValue(true);
    for (int i = 0; i < 3; ++i)
        log.Hook(pages[i], QString("p%1").arg(i + 1));

    Click(pages[0]); // already down: stays down
    QCOMPARE(log.entries, QStringList({"p1.MouseDown", "p1.MouseUp", "p1.Click"}));
    QVERIFY(pages[0]->Value());

    log.entries.clear();
    Click(pages[2]);
    QCOMPARE(log.entries,
             QStringList({"p3.MouseDown", "p3.MouseUp", "p3.Change=1", "p1.Change=0", "p3.Click"}));
    QVERIFY(!pages[0]->Value());
    QVERIFY(pages[2]->Value());
    QCOMPARE(pages[2]->PressState(), ToxPressState::Latched);
    QCOMPARE(pages[0]->PressState(), ToxPressState::Up);
}

void ButtonBehaviourTest::pageGroupWithNoSel() {
    auto* a = Face(0);
    auto* b = Face(45);
    for (auto* p : {a, b}) {
        p->SetButtonType(ToxButtonType::oxbToggle);
        p->SetGroup(1);
        p->SetGroupAllowNoSel(true);
    }
    a->SetValue(true);
    EventLog log;
    log.Hook(a, "a");
    Click(a);
    QCOMPARE(log.entries, QStringList({"a.MouseDown", "a.MouseUp", "a.Change=0", "a.Click"}));
    QVERIFY(!a->Value());
    QVERIFY(!b->Value());
}

void ButtonBehaviourTest::groupZeroTogglesIndependent() {
    auto* a = Face(0);
    auto* b = Face(45);
    for (auto* p : {a, b}) {
        p->SetButtonType(ToxButtonType::oxbToggle);
        p->SetGroupAllowNoSel(true);
    }
    Click(a);
    Click(b);
    QVERIFY(a->Value());
    QVERIFY(b->Value());
}

void ButtonBehaviourTest::codeCannotReleaseDownToggleWithoutNoSel() {
    auto* a = Face();
    a->SetButtonType(ToxButtonType::oxbToggle);
    a->SetValue(true);
    EventLog log;
    log.Hook(a, "a");
    a->SetValue(false);
    QVERIFY(a->Value());
    QVERIFY(log.entries.isEmpty());
}

void ButtonBehaviourTest::groupNotificationCopiesAllowNoSel() {
    auto* a = Face(0);
    auto* b = Face(45);
    auto* c = Face(90);
    a->SetButtonType(ToxButtonType::oxbToggle);
    b->SetButtonType(ToxButtonType::oxbCommand); // any type receives the copy
    c->SetGroup(7);
    a->SetGroupAllowNoSel(true);
    QVERIFY(b->GroupAllowNoSel());
    QVERIFY(!c->GroupAllowNoSel());
}

void ButtonBehaviourTest::releaseOutsideRaisesNothing() {
    auto* t = Face();
    t->SetButtonType(ToxButtonType::oxbToggle);
    t->SetGroupAllowNoSel(true);
    t->SetValue(true);
    EventLog log;
    log.Hook(t, "t");
    QTest::mousePress(t, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(t->PressState(), ToxPressState::Pressed);
    QTest::mouseMove(t, QPoint(200, 100));
    QCOMPARE(t->PressState(), ToxPressState::Up);
    QTest::mouseRelease(t, Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(log.entries, QStringList({"t.MouseDown", "t.MouseUp"}));
    QVERIFY(t->Value());
    QCOMPARE(t->PressState(), ToxPressState::Latched);
}

void ButtonBehaviourTest::typeChangeKeepsValue() {
    auto* b = Face();
    b->SetButtonType(ToxButtonType::oxbToggle);
    b->SetGroupAllowNoSel(true);
    b->SetValue(true);
    b->SetButtonType(ToxButtonType::oxbCommand);
    QVERIFY(b->Value());
    QCOMPARE(b->PressState(), ToxPressState::Latched);
    EventLog log;
    log.Hook(b, "b");
    b->SetValue(false); // allowed: no-selection is allowed
    QVERIFY(!b->Value());
    QCOMPARE(log.entries, QStringList({"b.Change=0"}));
}

void ButtonBehaviourTest::repeatClicksWhileHeld() {
    auto* b = Face();
    b->SetButtonType(ToxButtonType::oxbRepeat);
    b->SetDelay(80);
    QSignalSpy clicked(b, &ToxGraphicButton::clicked);
    QElapsedTimer held;
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    held.start();
    QVERIFY(b->RepeatTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(held.elapsed() >= 1000, 5000);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    const qint64 total = held.elapsed();
    const auto clicks = clicked.count();
    // Clicks at 400, 480, 560 ... ms: eight within a second; a busy machine
    // may lose some ticks but gains at most one.
    const int expected = static_cast<int>((total - 400) / 80) + 2;
    QVERIFY2(clicks >= 3 && clicks <= expected,
             qPrintable(QString("%1 clicks in %2 ms").arg(clicks).arg(total)));
    QVERIFY(!b->RepeatTimerActive());
}

void ButtonBehaviourTest::quickRepeatClickDoesNothing() {
    auto* b = Face();
    b->SetButtonType(ToxButtonType::oxbRepeat);
    EventLog log;
    log.Hook(b, "b");
    Click(b);
    QCOMPARE(log.entries, QStringList({"b.MouseDown", "b.MouseUp"}));
    QVERIFY(!b->RepeatTimerActive());
}

void ButtonBehaviourTest::repeatStopsWhilePointerOutside() {
    auto* b = Face();
    b->SetButtonType(ToxButtonType::oxbRepeat);
    b->SetInitDelay(50);
    b->SetDelay(20);
    QSignalSpy clicks(b, &ToxGraphicButton::clicked);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(b, QPoint(300, 150));
    QElapsedTimer outside;
    outside.start();
    QTRY_VERIFY_WITH_TIMEOUT(outside.elapsed() >= 300, 5000);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(b->RepeatTimerActive()); // keeps ticking
    QTest::mouseMove(b, QPoint(5, 5));
    QTRY_VERIFY_WITH_TIMEOUT(clicks.count() >= 2, 5000);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
}

void ButtonBehaviourTest::wrapperFocusedBeforeMouseDown() {
    auto* other = Wrapper(100);
    other->setFocus();
    auto* bump = Wrapper(0);
    bump->SetTabStop(false);
    bump->SetButtonType(ToxButtonType::oxbToggle);
    bump->SetGroupAllowNoSel(true);
    bool focusedAtDown = false, focusedAtChange = false;
    EmitterProbe probe;
    connect(bump, &ToxButton::mousePressed, &probe, [&] { focusedAtDown = bump->Focused(); });
    auto atChange =
        connect(bump, &ToxButton::valueChanged, &probe, [&] { focusedAtChange = bump->Focused(); });
    QTest::mouseClick(bump->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(focusedAtDown);
    QVERIFY(focusedAtChange);
    QVERIFY(bump->Face()->Focused());

    other->setFocus();
    bool changed = false;
    disconnect(atChange);
    connect(bump, &ToxButton::valueChanged, &probe, [&] {
        changed = true;
        focusedAtChange = bump->Focused();
    });
    bump->SetValue(false);
    QVERIFY(changed);
    QVERIFY(!focusedAtChange);
    QVERIFY(!bump->Face()->Focused());
    QVERIFY(!bump->Face()->hasFocus());
}

void ButtonBehaviourTest::faceNeverTakesFocus() {
    auto* w = Wrapper(0);
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
    auto* face = Face(100);
    Click(face);
    QVERIFY(w->hasFocus());
    QCOMPARE(face->focusPolicy(), Qt::NoFocus);
}

void ButtonBehaviourTest::fontsAreTheButtonsOwn() {
    QFont big = container_->font();
    big.setPointSize(30);
    container_->setFont(big);
    auto* face = Face();
    auto* wrapper = Wrapper();
    QVERIFY(face->Font().pointSize() != 30);
    QVERIFY(wrapper->Font().pointSize() != 30);
    QFont bold = wrapper->Font();
    bold.setBold(true);
    bold.setPointSize(12);
    wrapper->SetFont(bold);
    QCOMPARE(wrapper->Face()->Font().pointSize(), 12);
    QVERIFY(wrapper->Face()->Font().bold());
}

void ButtonBehaviourTest::wrapperReRaisesWithItselfAsSender() {
    auto* w = Wrapper();
    QList<QObject*> senders;
    EmitterProbe probe;
    const auto record = [&] { senders << probe.Emitter(); };
    connect(w, &ToxButton::mousePressed, &probe, record);
    connect(w, &ToxButton::mouseReleased, &probe, record);
    connect(w, &ToxButton::clicked, &probe, record);
    QTest::mouseClick(w->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(senders.size(), 3);
    for (QObject* s : senders)
        QCOMPARE(s, static_cast<QObject*>(w));
}

void ButtonBehaviourTest::wrapperEmitsItsFacesSignalsOnceAsItsOwn() {
    auto* w = Wrapper();
    w->SetButtonType(ToxButtonType::oxbToggle);
    QSignalSpy faceClicks(w->Face(), &ToxGraphicButton::clicked);
    QSignalSpy clicks(w, &ToxButton::clicked);
    QSignalSpy values(w, &ToxButton::valueChanged);
    EmitterProbe probe;
    QList<QObject*> valueSenders;
    connect(w, &ToxButton::valueChanged, &probe, [&] { valueSenders << probe.Emitter(); });
    QTest::mouseClick(w->Face(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(faceClicks.count(), 1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toBool(), true);
    QCOMPARE(valueSenders, QList<QObject*>{w});
    // A receiver of the wrapper answers for the face.
    connect(w, &ToxButton::dragOver, &probe,
            [](QObject*, int, int, bool& accept) { accept = true; });
    bool accept = false;
    emit w->Face()->dragOver(nullptr, 1, 2, accept);
    QVERIFY(accept);
}

void ButtonBehaviourTest::toggleEmitsEachNewValueOnce() {
    auto* a = Face(0);
    auto* b = Face(45);
    for (auto* p : {a, b}) {
        p->SetButtonType(ToxButtonType::oxbToggle);
        p->SetGroup(1);
    }
    QSignalSpy aValues(a, &ToxGraphicButton::valueChanged);
    QSignalSpy bValues(b, &ToxGraphicButton::valueChanged);
    const auto values = [](const QSignalSpy& spy) {
        QList<bool> seen;
        for (const QList<QVariant>& args : spy)
            seen << args.at(0).toBool();
        return seen;
    };
    Click(a);
    a->SetValue(true); // unchanged: nothing
    QCOMPARE(values(aValues), QList<bool>{true});
    Click(b); // takes the group's selection from a
    QCOMPARE(values(bValues), QList<bool>{true});
    QCOMPARE(values(aValues), (QList<bool>{true, false}));
    a->SetGroupAllowNoSel(true);
    Click(a);
    Click(a);
    QCOMPARE(values(aValues), (QList<bool>{true, false, true, false}));
    QCOMPARE(values(bValues), (QList<bool>{true, false}));
}

void ButtonBehaviourTest::wrapperGroupAcrossContainer() {
    auto* face = Face(0);
    auto* wrapped = Wrapper(0);
    face->SetButtonType(ToxButtonType::oxbToggle);
    wrapped->SetButtonType(ToxButtonType::oxbToggle);
    face->SetGroup(2);
    wrapped->SetGroup(2);
    face->SetValue(true);
    QStringList order;
    EmitterProbe probe;
    connect(face, &ToxGraphicButton::valueChanged, &probe, [&] { order << "face"; });
    connect(wrapped, &ToxButton::valueChanged, &probe, [&] { order << "wrapped"; });
    wrapped->SetValue(true);
    QCOMPARE(order, QStringList({"wrapped", "face"}));
    QVERIFY(!face->Value());
}

void ButtonBehaviourTest::spaceClicksWrapper() {
    auto* w = Wrapper();
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
    QStringList log;
    EmitterProbe probe;
    connect(w, &ToxButton::clicked, &probe, [&] { log << "Click"; });
    QTest::keyPress(w, Qt::Key_Space);
    QCOMPARE(w->Face()->PressState(), ToxPressState::Pressed);
    QVERIFY(log.isEmpty());
    QTest::keyRelease(w, Qt::Key_Space);
    QCOMPARE(log, QStringList({"Click"}));
    QCOMPARE(w->Face()->PressState(), ToxPressState::Up);
}

void ButtonBehaviourTest::spaceTogglesWrapper() {
    auto* w = Wrapper();
    w->SetButtonType(ToxButtonType::oxbToggle);
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
    QStringList log;
    EmitterProbe probe;
    connect(w, &ToxButton::valueChanged, &probe, [&] { log << "Change"; });
    connect(w, &ToxButton::clicked, &probe, [&] { log << "Click"; });
    QTest::keyClick(w, Qt::Key_Space);
    QCOMPARE(log, QStringList({"Change", "Click"}));
    QVERIFY(w->Value());
}

void ButtonBehaviourTest::enterOnDefaultEscapeOnCancel() {
    auto* ok = Wrapper(0);
    auto* cancel = Wrapper(50);
    auto* editor = new QLineEdit(container_);
    editor->setGeometry(100, 100, 80, 20);
    editor->show();
    ok->SetDefault(true);
    cancel->SetCancel(true);
    QStringList log;
    EmitterProbe probe;
    connect(ok, &ToxButton::clicked, &probe, [&] { log << "ok"; });
    connect(cancel, &ToxButton::clicked, &probe, [&] { log << "cancel"; });
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QVERIFY(ok->Face()->IsDefault());
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier); // shift held: nothing
    QCOMPARE(log, QStringList({"ok", "cancel"}));
    // The focused button is the active default: Enter clicks it, not OK.
    cancel->setFocus();
    QTRY_VERIFY(cancel->hasFocus());
    QVERIFY(!ok->Face()->IsDefault());
    QTest::keyClick(cancel, Qt::Key_Return);
    QCOMPARE(log, QStringList({"ok", "cancel", "cancel"}));
}

void ButtonBehaviourTest::kindSetsRowAndReportsCustom() {
    auto* w = Wrapper();
    w->SetKind(ToxBtnKind::bkOK);
    QCOMPARE(w->Caption(), QString("OK"));
    QCOMPARE(w->ModalResult(), mrOk);
    QVERIFY(w->Default());
    QCOMPARE(w->Kind(), ToxBtnKind::bkOK);
    w->SetCaption("Fine");
    QCOMPARE(w->Kind(), ToxBtnKind::bkCustom);
    w->SetKind(ToxBtnKind::bkClose);
    QCOMPARE(w->Caption(), QString("&Close"));
    QCOMPARE(w->Kind(), ToxBtnKind::bkClose);
}

void ButtonBehaviourTest::hotTrackingOnEnterLeave() {
    auto* b = Face();
    b->SetStyle(ToxBtnStyle::bsWin97);
    QStringList log;
    EmitterProbe probe;
    connect(b, &ToxGraphicButton::mouseEntered, &probe, [&] { log << "enter"; });
    connect(b, &ToxGraphicButton::mouseLeft, &probe, [&] { log << "leave"; });
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(b, &enter);
    QVERIFY(b->Hot());
    QCOMPARE(b->CurrentSlot(), 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    QVERIFY(!b->Hot());
    QCOMPARE(log, QStringList({"enter", "leave"}));
}

QTEST_MAIN(ButtonBehaviourTest)
#include "button_behaviour_test.moc"
