#pragma once
// The look and mapping every fader and bump button of the bank gets, shared
// with the galleries, tests and benchmarks.

#include "base/Colors.h"

class TSkVSlider;
class ToxButton;

// Bevels, knob, fonts, options, scale and the 0..255 to 0..100 % mapping,
// ending with the value at 0.
void ApplyFaderSettings(TSkVSlider& slider, bool gradient);
// The same, then out of the tab order, as a standalone fader.
void ApplyFaderLook(TSkVSlider& slider, bool gradient);

// A momentary bump in the bank's style (bevelled inset, vertical gradient,
// bold 12 pt caption, hand cursor) in the given colour.
void ApplyBumpLook(ToxButton& button, TColor color);
