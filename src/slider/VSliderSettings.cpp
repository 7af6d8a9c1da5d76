#include "slider/VSliderSettings.h"

#include <cmath>

#include "base/FontFallbacks.h"

TSkSBevel::TSkSBevel(QObject* parent)
    : TSkPersistent(parent), FOffset(new TSkOffset(this)), FSurfaceGrad(new TSkGradSettings(this)) {
    connect(FOffset, &TSkPersistent::changed, this, [this] { Changed(); });
    connect(FSurfaceGrad, &TSkPersistent::changed, this, [this] { Changed(); });
}

void TSkSBevel::Changed() {
    FBorderWidth = FSpacing + FWidth;
    if (FBevelLine == blOuter || FBevelLine == blInner)
        FBorderWidth += 1;
    else if (FBevelLine == blBoth)
        FBorderWidth += 2;
    TSkPersistent::Changed();
}

void TSkFont::Assign(const TSkFont& other) {
    if (&other == this) return;
    FName = other.FName;
    FSize = other.FSize;
    FColor = other.FColor;
    FStyle = other.FStyle;
    Changed();
}

int TSkFont::PixelSize() const {
    const int px = static_cast<int>(std::lround(std::abs(FSize) * 96.0 / 72.0));
    return px < 1 ? 1 : px;
}

void TSkFont::Changed() {
    FCache = nullptr;
    TSkPersistent::Changed();
}

const QFont& TSkFont::ToQFont() const {
    if (FCache == nullptr)
        FCache = &SharedFont({FName, PixelSize(), (FStyle & fsBold) != 0, (FStyle & fsItalic) != 0,
                              (FStyle & fsUnderline) != 0, (FStyle & fsStrikeOut) != 0});
    return *FCache;
}

TScaleSettings::TScaleSettings(Defaults defaults, QObject* parent)
    : TSkPersistent(parent), FFont(new TSkFont(QStringLiteral("Arial"), 14, clBlack, this)) {
    if (defaults == Defaults::Slider) {
        FDrawLine = false;
        FFont->SetSize(8);
        FSubSteps = 5;
    }
    connect(FFont, &TSkPersistent::changed, this, [this] { Changed(); });
}
