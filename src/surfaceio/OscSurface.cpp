#include "surfaceio/OscSurface.h"

#include <algorithm>

#include "model/DeskModel.h"

namespace {

TSurfaceShape OscShape() {
    TSurfaceShape shape;
    shape.Faders = FADERS_PER_PAGE;
    shape.Motorised = true; // a screen's fader shows the level; nothing to catch
    shape.FaderMax.fill(DMX_MAX_LEVEL);
    shape.Bumps.fill(true);
    shape.Pages.fill(true);
    shape.HoldsEcho = false; // the server leaves out only the client that moved
    return shape;
}

} // namespace

TOscSurface::TOscSurface(TDeskModel& model, TSurfaceSession::TFocusSource focus, QObject* parent)
    : TSurfaceBinding(model, OscShape(), std::move(focus), parent), model_(model),
      server_(Mailbox()) {
    channelGate_.fill(TFeedbackGate(20, 300, DMX_MAX_LEVEL));
}

TOscSurface::~TOscSurface() {
    server_.Stop();
}

std::string TOscSurface::Start(const std::string& address, int port, const std::string& feedback) {
    std::string error = server_.Start(address, port, feedback);
    if (error.empty()) Resync();
    emit statusChanged();
    return error;
}

void TOscSurface::Send(const TFeedback& f) {
    // Only the page shown is told; the others' lights are off by definition.
    if (f.Role == TControlRole::Page && f.Value == 0) return;
    server_.Send(OscFeedbackFor(f.Role, f.Index, f.Value));
}

void TOscSurface::Followed(const TDeskChange& change) {
    if (!change.Has(TDeskChange::Levels)) return;
    const int first = std::max(1, change.FirstChannel);
    const int last = std::min(DMX_UNIVERSE_SIZE, change.LastChannel);
    for (int c = first; c <= last; ++c)
        channelGate_[static_cast<std::size_t>(c)].Offer(model_.Table().LevelOf(c));
}

std::optional<TMillis> TOscSurface::FlushOwn(TMillis now) {
    std::optional<TMillis> due;
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c) {
        auto& gate = channelGate_[static_cast<std::size_t>(c)];
        if (const auto level = gate.Take(now))
            server_.Send(OscFeedbackFor(TControlRole::Channel, c, *level));
        if (const auto d = gate.NextDue(); d && (!due || *d < *due)) due = d;
    }
    return due;
}
