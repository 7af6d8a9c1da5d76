#pragma once
// What one control of a surface did, whatever carried it (MIDI or OSC).

#include "surfaces/SurfaceProfile.h"

struct TSurfaceInput {
    TControlRole Role = TControlRole::Fader;
    int Index = 0;        // fader or bump on the surface (1..), page 1..16
    int Value = 0;        // a fader's value, 0..Max
    int Max = 0;          // full scale of Value
    bool Pressed = false; // a button went down (true) or up
    // The lowest and highest values a fader passed since the window last
    // took its moves (coalescing keeps only the newest), so that soft
    // takeover still sees a level passed within one batch.
    int Low = -1;
    int High = -1;
};
