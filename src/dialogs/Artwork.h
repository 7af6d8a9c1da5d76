#pragma once
// The desk's own pictures, drawn in code: the fader-desk artwork of the About
// box (also the program's icon) and the glyph of the Readme's Close button.

#include <QImage>

// A small fader desk: four faders with their knobs and bump buttons.
QImage DeskArtwork();

// An 18 x 18 close glyph: a cross on a round red plate.
QImage CloseGlyph();
