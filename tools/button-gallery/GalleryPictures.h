#pragma once
// Small stand-in pictures for the gallery, drawn in code on a magenta
// background that the buttons treat as transparent.

#include <QImage>

enum class GalleryGlyph { Back, Next, Cancel, Ok, Close };

// A square picture of the glyph in the given colour.
QImage GalleryPicture(GalleryGlyph glyph, int size, QRgb ink);
