#pragma once
// The look and mapping every fader of the bank gets, shared with the slider
// gallery, its tests and benchmarks.

class TSkVSlider;

// Bevels, knob, fonts, options, scale and the 0..255 to 0..100 % mapping,
// ending with the value at 0.
void ApplyFaderSettings(TSkVSlider& slider, bool gradient);
// The same, then out of the tab order, as a standalone fader.
void ApplyFaderLook(TSkVSlider& slider, bool gradient);
