#pragma once
// One MIDI control surface at work: its ports and its view of the desk.

#include <memory>

#include <QString>

#include "surfaceio/MidiPort.h"
#include "surfaceio/SurfaceBinding.h"

class TMidiSurface : public TSurfaceBinding {
    Q_OBJECT
public:
    TMidiSurface(TDeskModel& model, const TSurfaceSettings& settings, TSurfaceProfile profile,
                 TSurfaceSession::TFocusSource focus, QObject* parent = nullptr);
    ~TMidiSurface() override;

    void Start() { port_->Start(); }
    TPortStatus Status() const { return port_->Status(); }
    const TSurfaceProfile& Profile() const { return profile_; }
    // The next fader-like control moved becomes the control of `slot`'s
    // fader on this surface; false when the slot is not on the surface's bank.
    bool Learn(int slot);
    void CancelLearn() { port_->SetLearnListener(nullptr); }
    long long Sent() const { return port_->Sent(); }

signals:
    // `profile` is the surface's profile with the learned control in it.
    void learned(int slot, const QString& control, const TSurfaceProfile& profile);

private:
    void Send(const TFeedback& feedback) override;

    TSurfaceProfile profile_;
    TMidiCodec feedback_;
    std::unique_ptr<TMidiPort> port_;
};
