#pragma once
// OSC clients at work: the server and the desk's view they share (the 32
// slots of the page shown, no bank, no soft takeover).

#include <array>
#include <string>

#include "surfaceio/OscServer.h"
#include "surfaceio/SurfaceBinding.h"

class TOscSurface : public TSurfaceBinding {
    Q_OBJECT
public:
    TOscSurface(TDeskModel& model, TSurfaceSession::TFocusSource focus, QObject* parent = nullptr);
    ~TOscSurface() override;

    // Empty when listening; else why not, in words.
    std::string Start(const std::string& address, int port, const std::string& feedback);
    long long Accepted() const { return server_.Accepted(); }
    long long Dropped() const { return server_.Dropped(); }

private:
    void Send(const TFeedback& feedback) override;
    // Channels by number are told back on their own address too.
    void Followed(const TDeskChange& change) override;
    std::optional<TMillis> FlushOwn(TMillis now) override;

    TDeskModel& model_;
    TOscServer server_;
    std::array<TFeedbackGate, DMX_UNIVERSE_SIZE + 1> channelGate_; // by channel 1..512
};
