#pragma once
// Gives a slider the look and mapping the fader bank gives each fader.

class TSkVSlider;

void ApplyFaderLook(TSkVSlider& slider, bool gradient);
