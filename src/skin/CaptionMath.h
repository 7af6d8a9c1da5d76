#pragma once
// The arithmetic of a skinned caption bar, free of widgets: the 128-step
// gradient, where each step's band lies, which platform colour ends the
// gradient, and how a caption too long for its room is shortened.

#include <array>
#include <cstdint>
#include <functional>

#include <QString>

#include "base/Colors.h"

inline constexpr int CAPTION_GRADIENT_STEPS = 128;

// num / den rounded to the nearest integer, halves to even; den > 0.
std::int64_t RoundHalfEvenDiv(std::int64_t num, std::int64_t den);

// The colour of every step, from start (step 0) towards end; both plain
// 0x00BBGGRR colours.
std::array<TColor, CAPTION_GRADIENT_STEPS> CaptionGradientSteps(TColor start, TColor end);

// The band of one step across a caption `width` pixels wide.
struct TGradientBand {
    int x = 0;
    int width = 0;
};
TGradientBand CaptionGradientBand(int step, int width);

// The system colour that ends the gradient (and fills the platform's own
// caption) for a state: the gradient caption colour, or the plain caption
// colour on a display of fewer than 9 bits per pixel or on a platform without
// gradient captions.
TColor CaptionEndColor(bool active, int displayDepthBits, bool platformHasGradientCaptions);

// A caption fitted into `room` pixels. When it does not fit, characters are
// taken from its end until the rest followed by "..." fits (or one character
// is left), and "..." is appended.
struct TCaptionFit {
    QString text;
    bool shortened = false;
};
using TTextWidth = std::function<int(const QString&)>;
TCaptionFit FitCaption(const QString& caption, int room, const TTextWidth& widthOf);

// Splits a caption after its first `italicWords` blank-separated words; the
// blanks between words stay with the words before them.
struct TCaptionWords {
    QString italic;
    QString upright;
};
TCaptionWords SplitItalicWords(const QString& caption, int italicWords);
