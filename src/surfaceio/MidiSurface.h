#pragma once
// One MIDI control surface at work: its ports, its view of the desk, and the
// timer that sends feedback when it is due. Lives on the window's thread;
// input reaches it through the mailbox, one queued call per batch.

#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "surfaceio/MidiPort.h"
#include "surfaces/InputMailbox.h"
#include "surfaces/SurfaceSession.h"

class TDeskModel;
struct TDeskChange;

class TMidiSurface : public QObject {
    Q_OBJECT
public:
    TMidiSurface(TDeskModel& model, const TSurfaceSettings& settings, TSurfaceProfile profile,
                 TSurfaceSession::TFocusSource focus, QObject* parent = nullptr);
    ~TMidiSurface() override;

    void Start();
    void Follow(const TDeskChange& change);
    TPortStatus Status() const { return port_->Status(); }
    const TSurfaceProfile& Profile() const { return profile_; }
    std::optional<int> Marker(int slot) const { return session_.Marker(slot); }
    const TSurfaceSession& Session() const { return session_; }
    // The next fader-like control moved becomes the control of `slot`'s
    // fader on this surface: `learned` tells which.
    bool Learn(int slot);
    void CancelLearn();
    long long Received() const { return mailbox_.Received(); }
    long long Sent() const { return port_->Sent(); }

signals:
    void statusChanged();
    void markersChanged();
    // The profile with the learned control in it, and the control in words.
    void learned(int slot, const QString& control);

private:
    void Drain();
    void Flush();
    TMillis Now() const { return clock_.elapsed(); }

    TDeskModel& model_;
    TSurfaceProfile profile_;
    TMidiCodec feedback_;
    TInputMailbox mailbox_;
    TSurfaceSession session_;
    std::unique_ptr<TMidiPort> port_;
    QElapsedTimer clock_;
    QTimer flushTimer_;

public:
    // The profile as learning left it (the window saves it).
    TSurfaceProfile LearnedProfile;
};
