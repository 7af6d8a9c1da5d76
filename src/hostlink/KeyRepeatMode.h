#pragma once
// Asks the window system for key repeats as Windows sends them: repeated
// presses with no releases in between. X11 otherwise sends a release before
// every repeated press, which the toolkit can only pair up while both are
// already queued.

namespace hostlink {

// True when the window system agreed; false elsewhere (offscreen, Wayland).
bool RequestRepeatsWithoutReleases();

// The keyboard's repeat: the wait before the first repeat and between the
// following ones, as the window system has them set; Windows' defaults
// where it cannot tell.
struct KeyboardRepeat {
    int DelayMs = 500;
    int IntervalMs = 33;
};
KeyboardRepeat KeyboardRepeatTiming();

} // namespace hostlink
