// The slider's value model through its widget: events and their order, and
// keyboard, wheel and mouse input sent as real Qt events.

#include "SliderFixture.h"

#include <QSignalSpy>
#include <QWheelEvent>

class SliderInputTest : public QObject {
    Q_OBJECT

private:
    static void Wheel(QWidget* w, int delta) {
        QWheelEvent e(QPointF(30, 100), w->mapToGlobal(QPointF(30, 100)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }
    static void SidewaysWheel(QWidget* w, int delta) {
        QWheelEvent e(QPointF(30, 100), w->mapToGlobal(QPointF(30, 100)), QPoint(),
                      QPoint(delta, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }
    static void Key(QWidget* w, QEvent::Type type, int key, bool autoRepeat) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(w, &e);
    }

private slots:
    void codeCreatedSliderHoldsUpdates() {
        TSkVSlider s;
        QCOMPARE(s.UpdateCount(), 1);
        QCOMPARE(s.Digit(), 100);
        QCOMPARE(s.Value(), 10.0f);
        QVERIFY(s.TabStop());
        QCOMPARE(s.ButtonSize(), 30);
        QCOMPARE(s.ColorTrench(), clGreen);
        QCOMPARE(s.Options(), AllVSliderOptions);
        QCOMPARE(s.CursorSlide(), crSkHand);
        QCOMPARE(s.EnabledKeys(), AllEnabledKeys);
        QCOMPARE(s.ChangeLarge(), 10);
        QCOMPARE(s.ChangeSmall(), 1);
        QCOMPARE(s.ColorFocus(), clLime);
        QCOMPARE(s.ColorNonFocus(), clGreen);
        QCOMPARE(s.BevelOuter()->BevelLine(), blOuter);
        QCOMPARE(s.BevelValue()->Style(), bsLowered);
        QCOMPARE(s.BevelValue()->Color(), clBlack);
        QCOMPARE(s.FontValue()->Name(), QStringLiteral("System"));
        QCOMPARE(s.Font()->Name(), QStringLiteral("MS Sans Serif"));
    }

    void setDigitRaisesOnceAfterPaintingAndHandlerSeesNewDigit() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        EventLog log;
        QPoint knobSeen;
        connect(s.get(), &TSkVSlider::digitChanged, &log, [&] {
            ++log.valueChange;
            log.digitsSeen << s->Digit();
            knobSeen = s->KnobCentre();
        });
        s->SetDigit(128);
        QCOMPARE(log.valueChange, 1);
        QCOMPARE(log.digitsSeen, QList<int>{128});
        QCOMPARE(s->Value(), 50.196079f);
        QCOMPARE(s->ValueText(), QStringLiteral("50"));
        QVERIFY(s->PendingChanged());
        // The knob stood at its new row when the handler ran.
        const int expectedRow =
            s->TrackRect().Top +
            KnobCentreRow(s->TrackRect().Height(), 21, s->TrenchRect().Height(), 255, 128, 0);
        QCOMPARE(knobSeen.y(), expectedRow);
        s->SetDigit(128);
        QCOMPARE(log.valueChange, 1);
    }

    void clampingComparesTheRequestFirst() {
        auto s = MakeFader(255);
        EventLog log;
        Watch(*s, log);
        s->SetDigit(300);
        QCOMPARE(s->Digit(), 255);
        QCOMPARE(log.valueChange, 1);
        s->SetDigit(200);
        s->SetDigit(300);
        QCOMPARE(s->Digit(), 255);
        QCOMPARE(log.valueChange, 3);
    }

    void setValueFiguresAndUnsnappedValue() {
        auto s = MakeFader(0);
        EventLog log;
        Watch(*s, log);
        s->SetValue(0.1f);
        QCOMPARE(s->Digit(), 0);
        QCOMPARE(s->Value(), 0.1f);
        QCOMPARE(log.valueChange, 0);
        s->SetValue(50.0f);
        QCOMPARE(s->Digit(), 127);
        s->SetValue(100.0f);
        QCOMPARE(s->Digit(), 255);
        s->SetValue(10.0f);
        QCOMPARE(s->Digit(), 25);
        QCOMPARE(log.valueChange, 3);
    }

    void mappingChangeKeepsValue() {
        auto s = MakeFader(128);
        s->SignalSettings()->SetValueTo(255.0f);
        QCOMPARE(s->Value(), 50.196079f);
        s->SetDigit(129);
        QCOMPARE(s->Value(), 129.0f);
    }

    void keysStepAndJump_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("events");
        QTest::newRow("PageUpNearTop") << 250 << int(Qt::Key_PageUp) << 255 << 1;
        QTest::newRow("UpAtTopDoesNothing") << 255 << int(Qt::Key_Up) << 255 << 0;
        QTest::newRow("PageDown") << 100 << int(Qt::Key_PageDown) << 75 << 1;
        QTest::newRow("EndToTop") << 10 << int(Qt::Key_End) << 255 << 1;
        QTest::newRow("HomeToBottom") << 10 << int(Qt::Key_Home) << 0 << 1;
        QTest::newRow("RightUp") << 10 << int(Qt::Key_Right) << 11 << 1;
        QTest::newRow("LeftDown") << 10 << int(Qt::Key_Left) << 9 << 1;
        QTest::newRow("DownDown") << 10 << int(Qt::Key_Down) << 9 << 1;
        QTest::newRow("OtherKeyNothing") << 10 << int(Qt::Key_A) << 10 << 0;
    }
    void keysStepAndJump() {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, expected);
        QFETCH(int, events);
        auto s = MakeFader(start);
        QTest::keyRelease(s.get(), Qt::Key_Shift); // reports the change made by code
        EventLog log;
        Watch(*s, log);
        QTest::keyClick(s.get(), Qt::Key(key));
        QCOMPARE(s->Digit(), expected);
        QCOMPARE(log.valueChange, events);
        QCOMPARE(log.valueChanged, events); // at the key's release
        QCOMPARE(log.keyDown, 1);
    }

    void disabledKeyAndCancelledKey() {
        auto s = MakeFader(10);
        s->SetEnabledKeys(AllEnabledKeys & ~_VK_RIGHT);
        QTest::keyClick(s.get(), Qt::Key_Right);
        QCOMPARE(s->Digit(), 10);
        QTest::keyClick(s.get(), Qt::Key_Up);
        QCOMPARE(s->Digit(), 11);
        connect(s.get(), &TSkVSlider::keyDown, [](unsigned short& key, TShiftState) { key = 0; });
        QTest::keyClick(s.get(), Qt::Key_Up);
        QCOMPARE(s->Digit(), 11);
    }

    void otherKeysReachTheParent() {
        QWidget parent;
        auto* s = new TSkVSlider(&parent);
        int parentKeys = 0;
        struct Filter : QObject {
            int* count;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::KeyPress) ++*count;
                return false;
            }
        } filter;
        filter.count = &parentKeys;
        parent.installEventFilter(&filter);
        QTest::keyClick(s, Qt::Key_Escape);
        QCOMPARE(parentKeys, 1);
        QTest::keyClick(s, Qt::Key_Up);
        QCOMPARE(parentKeys, 1); // the slider keeps its own keys
    }

    void keyboardOffStillRaisesKeyDownAndWheelSteps() {
        auto s = MakeFader(10);
        EventLog log;
        Watch(*s, log);
        s->SetEnableKeyboard(false);
        QTest::keyClick(s.get(), Qt::Key_Up);
        QCOMPARE(s->Digit(), 10);
        QCOMPARE(log.keyDown, 1);
        Wheel(s.get(), 120);
        QCOMPARE(s->Digit(), 11);
    }

    void sidewaysWheelLeavesTheDigit() {
        auto s = MakeFader(10);
        EventLog log;
        Watch(*s, log);
        SidewaysWheel(s.get(), 120);
        SidewaysWheel(s.get(), -120);
        SidewaysWheel(s.get(), -120);
        QCOMPARE(s->Digit(), 10);
        QCOMPARE(log.valueChange, 0);
        Wheel(s.get(), 120); // the vertical wheel still steps
        QCOMPARE(s->Digit(), 11);
    }

    void wheelLowByteRule() {
        auto s = MakeFader(10);
        Wheel(s.get(), 240);
        QCOMPARE(s->Digit(), 10);
        Wheel(s.get(), 120);
        QCOMPARE(s->Digit(), 11);
        Wheel(s.get(), -120);
        Wheel(s.get(), -120);
        QCOMPARE(s->Digit(), 9);
        Wheel(s.get(), 15);
        QCOMPARE(s->Digit(), 9);
    }

    void heldArrowRepeatsChangeAndReportsOnceAtRelease() {
        auto s = MakeFader(10);
        EventLog log;
        Watch(*s, log);
        Key(s.get(), QEvent::KeyPress, Qt::Key_Up, false);
        for (int i = 0; i < 4; ++i) {
            Key(s.get(), QEvent::KeyRelease, Qt::Key_Up, true); // as X11 delivers repeats
            Key(s.get(), QEvent::KeyPress, Qt::Key_Up, true);
        }
        QCOMPARE(log.valueChange, 5);
        QCOMPARE(log.valueChanged, 0);
        Key(s.get(), QEvent::KeyRelease, Qt::Key_Up, false);
        QCOMPARE(s->Digit(), 15);
        QCOMPARE(log.valueChanged, 1);
        QVERIFY(!s->PendingChanged());
    }

    void programmaticChangeReportedAtNextRelease() {
        auto s = MakeFader(10);
        EventLog log;
        Watch(*s, log);
        s->SetDigit(20);
        QCOMPARE(log.valueChanged, 0);
        QTest::keyClick(s.get(), Qt::Key_Shift); // a key that does not move it
        QCOMPARE(log.valueChanged, 1);
    }

    void dragBeyondTheTrenchEnds() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        EventLog log;
        Watch(*s, log);
        const QPoint knob = s->KnobCentre();
        QTest::mousePress(s.get(), Qt::LeftButton, {}, knob);
        QVERIFY(s->Sliding());
        QVERIFY(s->hasFocus());
        QTest::mouseMove(s.get(), QPoint(knob.x() + 40, -30));
        QCOMPARE(s->Digit(), 255);
        QTest::mouseMove(s.get(), QPoint(knob.x(), s->height() + 50));
        QCOMPARE(s->Digit(), 0);
        QCOMPARE(log.valueChanged, 0);
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, QPoint(knob.x(), s->height() + 50));
        QVERIFY(!s->Sliding());
        QCOMPARE(log.valueChanged, 1);
        QCOMPARE(log.digitsSeen, (QList<int>{255, 0}));
    }

    void dragEmitsEveryStepAndFinishesOnceAtRelease() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        QSignalSpy steps(s.get(), &TSkVSlider::digitChanged);
        QSignalSpy finished(s.get(), &TSkVSlider::changeFinished);
        const QPoint knob = s->KnobCentre();
        QTest::mousePress(s.get(), Qt::LeftButton, {}, knob);
        steps.clear(); // where the press lands on the knob is not the point here
        QList<int> rows;
        for (int y = knob.y() - 1; y >= s->TrenchRect().Top; y -= 3)
            rows << y;
        rows << -20 << -25; // beyond the end, then still there
        int moved = 0;
        for (int y : rows) {
            const int before = s->Digit();
            const qsizetype emitted = steps.count();
            QTest::mouseMove(s.get(), QPoint(knob.x(), y));
            if (s->Digit() == before) {
                QCOMPARE(steps.count(), emitted);
                continue;
            }
            ++moved;
            QCOMPARE(steps.count(), emitted + 1);
            QCOMPARE(steps.constLast().at(0).toInt(), s->Digit());
        }
        QVERIFY2(moved >= 10, qPrintable(QString::number(moved)));
        QCOMPARE(s->Digit(), 255);
        QCOMPARE(finished.count(), 0);
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, QPoint(knob.x(), -25));
        QCOMPARE(steps.count(), moved);
        QCOMPARE(finished.count(), 1);
        // A click that moves nothing settles nothing.
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(1, 100));
        QCOMPARE(steps.count(), moved);
        QCOMPARE(finished.count(), 1);
    }

    void pressInTheTrackJumps() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        const TSkRect trench = s->TrenchRect();
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(trench.Left, trench.Top));
        QCOMPARE(s->Digit(), 255);
        QCOMPARE(s->KnobHitRect(), s->TrackRect());
    }

    void withoutMouseJumpOnlyTheKnobStartsASlide() {
        auto s = MakeFader(0);
        s->SetEnableMouseJump(false);
        QVERIFY(ShowPainted(*s));
        const TSkRect trench = s->TrenchRect();
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(trench.Left, trench.Top));
        QCOMPARE(s->Digit(), 0);
        QVERIFY(!s->OverKnob());
        QCOMPARE(s->KnobHitRect().Top, s->KnobCentre().y() - 11);
        QCOMPARE(s->KnobHitRect().Bottom, s->KnobCentre().y() + 11);
        const QPoint knob = s->KnobCentre();
        QTest::mousePress(s.get(), Qt::LeftButton, {}, knob - QPoint(0, 5));
        QVERIFY(s->Sliding());
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, knob - QPoint(0, 5));
    }

    void pressOutsideTheTrackOnlyFocuses() {
        auto s = MakeFader(40);
        QVERIFY(ShowPainted(*s));
        EventLog log;
        Watch(*s, log);
        s->clearFocus();
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(1, 100));
        QCOMPARE(s->Digit(), 40);
        QVERIFY(s->hasFocus());
        QCOMPARE(log.enter, 1);
    }

    void rightClickFocusesWithoutMoving() {
        auto s = MakeFader(40);
        QVERIFY(ShowPainted(*s));
        EventLog log;
        Watch(*s, log);
        s->clearFocus();
        QVERIFY(!s->hasFocus());
        const TSkRect trench = s->TrenchRect();
        QTest::mouseClick(s.get(), Qt::RightButton, {}, QPoint(trench.Left, trench.Top));
        QVERIFY(s->hasFocus());
        QCOMPARE(log.enter, 1);
        QCOMPARE(s->Digit(), 40);
        QCOMPARE(log.valueChange, 0);
    }

    void mouseEventsInOrder() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        QStringList order;
        connect(s.get(), &TSkVSlider::mousePressed, [&] { order << "down"; });
        connect(s.get(), &TSkVSlider::focusEntered, [&] { order << "enter"; });
        connect(s.get(), &TSkVSlider::digitChanged, [&] { order << "change"; });
        connect(s.get(), &TSkVSlider::clicked, [&] { order << "click"; });
        connect(s.get(), &TSkVSlider::mouseReleased, [&] { order << "up"; });
        connect(s.get(), &TSkVSlider::changeFinished, [&] { order << "changed"; });
        s->clearFocus();
        const TSkRect trench = s->TrenchRect();
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(trench.Left, trench.Top));
        QCOMPARE(order, (QStringList{"down", "enter", "change", "click", "up", "changed"}));
    }

    void cursorOverTheKnob() {
        auto s = MakeFader(0);
        s->SetCursorSlide(crSkHand);
        QVERIFY(ShowPainted(*s));
        QTest::mouseMove(s.get(), s->KnobCentre());
        QVERIFY(s->OverKnob());
        QCOMPARE(s->Cursor(), crSkHand);
        QCOMPARE(s->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(s.get(), QPoint(1, 1));
        QCOMPARE(s->Cursor(), s->NormalCursor());
        QCOMPARE(s->cursor().shape(), Qt::ArrowCursor);
    }

    void noSlideBeforeTheFirstPaint() {
        auto s = MakeFader(0);
        QVERIFY(s->KnobHitRect().IsEmpty());
    }

    void handlerMayDeleteTheSlider() {
        auto* s = MakeFader(10).release();
        QPointer<TSkVSlider> guard(s);
        connect(s, &TSkVSlider::digitChanged, [s] { delete s; });
        s->SetDigit(11);
        QVERIFY(guard.isNull());
    }
};

QTEST_MAIN(SliderInputTest)
#include "slider_input_test.moc"
