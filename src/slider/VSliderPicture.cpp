#include "slider/VSliderPicture.h"

#include <algorithm>
#include <cstring>

#include <QGuiApplication>
#include <QPalette>

TFontKey FontKeyOf(const TSkFont& f) {
    return {f.Name(), f.Size(), f.Color(), f.Style()};
}

TBevelKey BevelKeyOf(const TSkSBevel& b) {
    const TSkOffset& o = *b.Offset();
    const TSkGradSettings& g = *b.SurfaceGrad();
    return {b.Style(),
            b.Spacing(),
            b.BevelLine(),
            b.Width(),
            b.Color(),
            b.ColorShadowFrom(),
            b.ColorShadowTo(),
            b.ColorHighLightFrom(),
            b.ColorHighLightTo(),
            b.PenColor(),
            o.Top(),
            o.Left(),
            o.Right(),
            o.Bottom(),
            g.ColorFrom(),
            g.ColorTo(),
            g.Visible(),
            g.Style()};
}

TScaleKey ScaleKeyOf(const TScaleSettings& s) {
    return {s.Color(),    s.DrawLine(),    FontKeyOf(*s.Font()), s.Steps(),
            s.SubSteps(), s.ValueFormat(), s.ThinLineWidth};
}

qint64 PaletteKeyNow() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return 0;
    return QGuiApplication::palette().cacheKey();
}

TRowSpan TrenchRows(const TVSliderLayout& l, int labelHeight) {
    const int first =
        std::min({l.TrackRect.Top, l.LeftScale.Top, l.RightScale.Top, l.TrenchOuter.Top});
    const int last = std::max({l.TrackRect.Bottom, l.LeftScale.Bottom, l.RightScale.Bottom,
                               l.TrenchOuter.Bottom}) -
                     1;
    // A label is centred on its tick row; anti-aliased ink may reach a row further.
    const int reach = labelHeight > 0 ? labelHeight / 2 + 2 : 0;
    return {first - reach, last + reach};
}

bool RowsEqual(const QImage& a, const QImage& b, TRowSpan rows) {
    if (a.size() != b.size() || a.format() != b.format()) return false;
    const int first = std::max(rows.First, 0), last = std::min(rows.Last, a.height() - 1);
    const auto bytes = static_cast<std::size_t>(a.bytesPerLine());
    for (int y = first; y <= last; ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) return false;
    return true;
}
