// Stop signals reach the event loop as one Qt signal, from a handler that
// only writes to a pipe; the default action comes back when the watcher goes.

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

#include "app/StopSignals.h"

class StopSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void eachStopSignalIsToldOnceInTheEventLoop() {
        for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
            TStopSignals watcher;
            QVERIFY(watcher.Installed());
            QSignalSpy told(&watcher, &TStopSignals::StopRequested);
            QCOMPARE(::raise(number), 0); // handled, not the end of the test
            QVERIFY2(told.isEmpty(), "nothing runs inside the handler");
            QTRY_COMPARE(told.count(), 1);
            QCOMPARE(told.at(0).at(0).toInt(), number);
            // A second signal while the desk closes is taken in silence.
            QCOMPARE(::raise(SIGTERM), 0);
            QTest::qWait(50);
            QCOMPARE(told.count(), 1);
        }
    }

    void theDefaultActionComesBackWithTheWatcher() {
        { TStopSignals watcher; }
        struct sigaction now = {};
        QCOMPARE(::sigaction(SIGTERM, nullptr, &now), 0);
        QVERIFY(now.sa_handler == SIG_DFL);
    }

    void onlyOneWatcherAtATime() {
        TStopSignals first;
        TStopSignals second;
        QVERIFY(first.Installed());
        QVERIFY(!second.Installed());
    }
};

QTEST_MAIN(StopSignalsTest)
#include "stop_signals_test.moc"
