#include "slider/VSliderSettings.h"

#include <cmath>

#include "base/FontFallbacks.h"

TSkSBevel::TSkSBevel(QObject* parent)
    : TSkPersistent(parent), offset_(new TSkOffset(this)), surfaceGrad_(new TSkGradSettings(this)) {
    connect(offset_, &TSkPersistent::changed, this, [this] { Changed(); });
    connect(surfaceGrad_, &TSkPersistent::changed, this, [this] { Changed(); });
}

void TSkSBevel::Changed() {
    borderWidth_ = spacing_ + width_;
    if (bevelLine_ == blOuter || bevelLine_ == blInner)
        borderWidth_ += 1;
    else if (bevelLine_ == blBoth)
        borderWidth_ += 2;
    TSkPersistent::Changed();
}

void TSkFont::Assign(const TSkFont& other) {
    if (&other == this) return;
    name_ = other.name_;
    size_ = other.size_;
    color_ = other.color_;
    style_ = other.style_;
    Changed();
}

int TSkFont::PixelSize() const {
    const int px = static_cast<int>(std::lround(std::abs(size_) * 96.0 / 72.0));
    return px < 1 ? 1 : px;
}

void TSkFont::Changed() {
    cache_ = nullptr;
    TSkPersistent::Changed();
}

const QFont& TSkFont::ToQFont() const {
    if (cache_ == nullptr)
        cache_ = &SharedFont({name_, PixelSize(), (style_ & fsBold) != 0, (style_ & fsItalic) != 0,
                              (style_ & fsUnderline) != 0, (style_ & fsStrikeOut) != 0});
    return *cache_;
}

TScaleSettings::TScaleSettings(Defaults defaults, QObject* parent)
    : TSkPersistent(parent), font_(new TSkFont(QStringLiteral("Arial"), 14, clBlack, this)) {
    if (defaults == Defaults::Slider) {
        drawLine_ = false;
        font_->SetSize(8);
        subSteps_ = 5;
    }
    connect(font_, &TSkPersistent::changed, this, [this] { Changed(); });
}
