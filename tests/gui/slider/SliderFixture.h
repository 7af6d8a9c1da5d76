#pragma once
// Sliders for the widget tests: shown as their own window, painted once,
// with counters for their events.

#include <memory>

#include <QtTest>

#include "EmitterProbe.h"
#include "bank/FaderLook.h"
#include "slider/VSlider.h"

// Counts the slider's signals; connections made with it as their context.
struct EventLog : EmitterProbe {
    int valueChange = 0;
    int valueChanged = 0;
    int enter = 0;
    int keyDown = 0;
    QList<int> digitsSeen;
};

// A fader with the bank's look and mapping, 63 × 210, at `digit`.
inline std::unique_ptr<TSkVSlider> MakeFader(int digit = 0) {
    auto s = std::make_unique<TSkVSlider>();
    ApplyFaderLook(*s, false);
    s->SetDigit(digit);
    s->resize(63, 210);
    return s;
}

inline void Watch(TSkVSlider& s, EventLog& log) {
    QObject::connect(&s, &TSkVSlider::digitChanged, &log, [&log, &s](int digit) {
        QCOMPARE(log.Emitter(), &s);
        QCOMPARE(digit, s.Digit());
        ++log.valueChange;
        log.digitsSeen << s.Digit();
    });
    QObject::connect(&s, &TSkVSlider::changeFinished, &log, [&log] { ++log.valueChanged; });
    QObject::connect(&s, &TSkVSlider::focusEntered, &log, [&log] { ++log.enter; });
    QObject::connect(&s, &TSkVSlider::keyDown, &log,
                     [&log](unsigned short&, TShiftState) { ++log.keyDown; });
}

// Shows the slider as an active window and waits for its first paint.
inline bool ShowPainted(TSkVSlider& s) {
    s.show();
    s.activateWindow();
    if (!QTest::qWaitForWindowExposed(&s)) return false;
    if (!QTest::qWaitForWindowActive(&s)) return false;
    return QTest::qWaitFor([&] { return s.BackgroundValid(); });
}

// Sums the areas the slider is asked to repaint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    QRegion painted;
    int events = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
            ++events;
        }
        return false;
    }
};
