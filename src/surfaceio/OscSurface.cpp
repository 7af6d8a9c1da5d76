#include "surfaceio/OscSurface.h"

namespace {

TSurfaceShape OscShape() {
    TSurfaceShape shape;
    shape.Faders = FADERS_PER_PAGE;
    shape.Motorised = true; // a screen's fader shows the level; nothing to catch
    shape.FaderMax.fill(DMX_MAX_LEVEL);
    shape.Bumps.fill(true);
    shape.Pages.fill(true);
    return shape;
}

} // namespace

TOscSurface::TOscSurface(TDeskModel& model, TSurfaceSession::TFocusSource focus, QObject* parent)
    : TSurfaceBinding(model, OscShape(), std::move(focus), parent), server_(Mailbox()) {}

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
