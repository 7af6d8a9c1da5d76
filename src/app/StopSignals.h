#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the main thread, so
// that a desk told to end by its session, a terminal or a service manager
// closes its outputs properly instead of dying mid-stream. The handler only
// writes one byte into a pipe; everything else happens in the event loop.

#include <QObject>

class QSocketNotifier;

class TStopSignals : public QObject {
    Q_OBJECT
public:
    // One at a time: the handler writes to the pipe of the one alive.
    explicit TStopSignals(QObject* parent = nullptr);
    ~TStopSignals() override;
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // False when the pipe or a handler could not be set up; the signals then
    // keep their default action.
    bool Installed() const { return installed_; }

signals:
    // Once, for the first of the signals; later ones are taken in silence
    // while the desk closes.
    void StopRequested(int signalNumber);

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
    bool told_ = false;
};
