#pragma once
// What every surface does on the window's thread, whatever carries its
// messages: takes the transport's mailbox in one queued call per batch,
// applies it through its session, follows the model, and sends feedback
// when it is due (a timer waits for the next one).

#include <optional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "surfaces/InputMailbox.h"
#include "surfaces/SurfaceSession.h"

class TDeskModel;
struct TDeskChange;

class TSurfaceBinding : public QObject {
    Q_OBJECT
public:
    TSurfaceBinding(TDeskModel& model, const TSurfaceShape& shape,
                    TSurfaceSession::TFocusSource focus, QObject* parent = nullptr);

    void Follow(const TDeskChange& change);
    std::optional<int> Marker(int slot) const { return session_.Marker(slot); }
    const TSurfaceSession& Session() const { return session_; }
    long long Received() const { return mailbox_.Received(); }

signals:
    void statusChanged();
    void markersChanged();

protected:
    // Every control shown afresh, at once (the surface came or came back).
    void Resync();
    virtual void Send(const TFeedback& feedback) = 0;
    // Hooks for what a transport follows beyond the session's controls.
    virtual void Applied(const TSurfaceInput&, TMillis) {}
    virtual void Followed(const TDeskChange&) {}
    // Sends what is due of its own; returns when it next has something due.
    virtual std::optional<TMillis> FlushOwn(TMillis) { return std::nullopt; }
    TInputMailbox& Mailbox() { return mailbox_; }
    TSurfaceSession& MutableSession() { return session_; }

private:
    void Drain();
    void Flush();
    TMillis Now() const { return clock_.elapsed(); }

    TInputMailbox mailbox_;
    TSurfaceSession session_;
    QElapsedTimer clock_;
    QTimer flushTimer_;
    bool flushQueued_ = false;
};
