#include "skin/CaptionMath.h"

#include <algorithm>

namespace {

int Channel(TColor c, int shift) {
    return (c >> shift) & 0xFF;
}

} // namespace

std::int64_t RoundHalfEvenDiv(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) { // floor division, so that 0 <= r < den
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

std::array<TColor, CAPTION_GRADIENT_STEPS> CaptionGradientSteps(TColor start, TColor end) {
    std::array<TColor, CAPTION_GRADIENT_STEPS> steps{};
    for (int i = 0; i < CAPTION_GRADIENT_STEPS; ++i) {
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            const int s = Channel(start, 8 * k);
            const int e = Channel(end, 8 * k);
            rgb[k] = s - static_cast<int>(
                             RoundHalfEvenDiv(std::int64_t{s - e} * i, CAPTION_GRADIENT_STEPS));
        }
        steps[static_cast<std::size_t>(i)] = RGB(rgb[0], rgb[1], rgb[2]);
    }
    return steps;
}

TGradientBand CaptionGradientBand(int step, int width) {
    TGradientBand band;
    band.x = static_cast<int>(RoundHalfEvenDiv(std::int64_t{step} * width, CAPTION_GRADIENT_STEPS));
    band.width = static_cast<int>(
        RoundHalfEvenDiv(std::int64_t{width} + CAPTION_GRADIENT_STEPS, CAPTION_GRADIENT_STEPS));
    return band;
}

TColor CaptionEndColor(bool active, int displayDepthBits, bool platformHasGradientCaptions) {
    if (displayDepthBits < 9 || !platformHasGradientCaptions)
        return active ? clActiveCaption : clInactiveCaption;
    return active ? clGradientActiveCaption : clGradientInactiveCaption;
}

TCaptionFit FitCaption(const QString& caption, int room, const TTextWidth& widthOf) {
    if (widthOf(caption) <= room) return {caption, false};
    static const QString kEllipsis = QStringLiteral("...");
    QString kept = caption;
    while (kept.size() > 1 && widthOf(kept + kEllipsis) > room) {
        qsizetype cut = kept.size() - 1;
        // Never split a surrogate pair.
        if (cut > 0 && kept.at(cut).isLowSurrogate() && kept.at(cut - 1).isHighSurrogate()) --cut;
        if (cut < 1) break;
        kept.truncate(cut);
    }
    return {kept + kEllipsis, true};
}

TCaptionWords SplitItalicWords(const QString& caption, int italicWords) {
    if (italicWords <= 0) return {QString(), caption};
    qsizetype i = 0;
    const qsizetype n = caption.size();
    int words = 0;
    while (i < n && words < italicWords) {
        while (i < n && caption.at(i) == QLatin1Char(' '))
            ++i;
        if (i >= n) break;
        while (i < n && caption.at(i) != QLatin1Char(' '))
            ++i;
        ++words;
        if (words < italicWords) continue;
        while (i < n && caption.at(i) == QLatin1Char(' '))
            ++i;
    }
    return {caption.left(i), caption.mid(i)};
}
