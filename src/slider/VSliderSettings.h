#pragma once
// The look settings of the slider: bevels with their offsets and gradient
// faces, fonts, and the tick scale. Each setter reports a change through
// Changed only when the stored value really changes.

#include <cstdint>

#include <QFont>
#include <QString>

#include "base/Colors.h"
#include "slider/Persistent.h"

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelLine { blNone, blOuter, blInner, blBoth };
enum TGradientStyle {
    gsHorizontal1,
    gsHorizontal2,
    gsHorizontal3,
    gsVertical1,
    gsVertical2,
    gsVertical3,
    gsElliptic1,
    gsElliptic2,
    gsElliptic3,
    gsRectangle,
    gsDiamond1,
    gsDiamond2,
    gsTopLeft,
    gsTopRight,
};

class TSkOffset : public TSkPersistent {
public:
    using TSkPersistent::TSkPersistent;
    int Top() const { return top_; }
    int Left() const { return left_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    void SetTop(int v) { Store(top_, v); }
    void SetLeft(int v) { Store(left_, v); }
    void SetRight(int v) { Store(right_, v); }
    void SetBottom(int v) { Store(bottom_, v); }

private:
    int top_ = 0, left_ = 0, right_ = 0, bottom_ = 0;
};

class TSkGradSettings : public TSkPersistent {
public:
    using TSkPersistent::TSkPersistent;
    TColor ColorFrom() const { return colorFrom_; }
    TColor ColorTo() const { return colorTo_; }
    bool Visible() const { return visible_; }
    TGradientStyle Style() const { return style_; }
    void SetColorFrom(TColor v) { Store(colorFrom_, v); }
    void SetColorTo(TColor v) { Store(colorTo_, v); }
    void SetVisible(bool v) { Store(visible_, v); }
    void SetStyle(TGradientStyle v) { Store(style_, v); }

private:
    TColor colorFrom_ = 0xE2E2E2;
    TColor colorTo_ = 0x8F8F8F;
    bool visible_ = false;
    TGradientStyle style_ = gsHorizontal1;
};

class TSkSBevel : public TSkPersistent {
public:
    explicit TSkSBevel(QObject* parent = nullptr);

    TSkOffset* Offset() const { return offset_; }
    TBevelStyle Style() const { return style_; }
    int Spacing() const { return spacing_; }
    TBevelLine BevelLine() const { return bevelLine_; }
    int Width() const { return width_; }
    TColor Color() const { return color_; }
    TColor ColorShadowFrom() const { return colorShadowFrom_; }
    TColor ColorShadowTo() const { return colorShadowTo_; }
    TColor ColorHighLightFrom() const { return colorHighLightFrom_; }
    TColor ColorHighLightTo() const { return colorHighLightTo_; }
    TColor PenColor() const { return penColor_; }
    TSkGradSettings* SurfaceGrad() const { return surfaceGrad_; }
    int BorderWidth() const { return borderWidth_; }

    void SetStyle(TBevelStyle v) { Store(style_, v); }
    void SetSpacing(int v) { Store(spacing_, v); }
    void SetBevelLine(TBevelLine v) { Store(bevelLine_, v); }
    void SetWidth(int v) {
        if (v >= 0) Store(width_, v);
    }
    void SetColor(TColor v) { Store(color_, v); }
    void SetColorShadowFrom(TColor v) { Store(colorShadowFrom_, v); }
    void SetColorShadowTo(TColor v) { Store(colorShadowTo_, v); }
    void SetColorHighLightFrom(TColor v) { Store(colorHighLightFrom_, v); }
    void SetColorHighLightTo(TColor v) { Store(colorHighLightTo_, v); }
    void SetPenColor(TColor v) { Store(penColor_, v); }

    // Recomputes BorderWidth, then emits changed.
    void Changed() override;

private:
    TSkOffset* offset_;
    TBevelStyle style_ = bsRaised;
    int spacing_ = 5;
    TBevelLine bevelLine_ = blNone;
    int width_ = 2;
    TColor color_ = clBtnFace;
    TColor colorShadowFrom_ = clBtnShadow;
    TColor colorShadowTo_ = clBtnShadow;
    TColor colorHighLightFrom_ = clBtnHighlight;
    TColor colorHighLightTo_ = clBtnHighlight;
    TColor penColor_ = clBlack;
    TSkGradSettings* surfaceGrad_;
    int borderWidth_ = 7;
};

// Font style bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font as the controls describe it: a face name, a size in points (at 96
// pixels per inch), a colour and a style set.
class TSkFont : public TSkPersistent {
public:
    TSkFont(const QString& name, int size, TColor color = clWindowText, QObject* parent = nullptr)
        : TSkPersistent(parent), name_(name), size_(size), color_(color) {}

    const QString& Name() const { return name_; }
    int Size() const { return size_; }
    TColor Color() const { return color_; }
    TFontStyles Style() const { return style_; }
    void SetName(const QString& v) { Store(name_, v); }
    void SetSize(int v) { Store(size_, v); }
    void SetColor(TColor v) { Store(color_, v); }
    void SetStyle(TFontStyles v) { Store(style_, v); }
    void Assign(const TSkFont& other);

    // Pixel height of the size: points at 96 pixels per inch, rounded.
    int PixelSize() const;
    const QFont& ToQFont() const;

    void Changed() override;

private:
    mutable const QFont* cache_ = nullptr; // shared by every font of this look
    QString name_;
    int size_;
    TColor color_;
    TFontStyles style_ = 0;
};

class TScaleSettings : public TSkPersistent {
public:
    // The library's defaults, or those a slider gives its own scale.
    enum class Defaults { Library, Slider };
    explicit TScaleSettings(Defaults defaults = Defaults::Library, QObject* parent = nullptr);

    TColor Color() const { return color_; }
    TColor PointerColor() const { return pointerColor_; }
    bool DrawLine() const { return drawLine_; }
    TSkFont* Font() const { return font_; }
    bool PosLeftTop() const { return posLeftTop_; }
    int Steps() const { return steps_; }
    int SubSteps() const { return subSteps_; }
    const QString& ValueFormat() const { return valueFormat_; }
    const QString& ValueFormatLog() const { return valueFormatLog_; }

    void SetColor(TColor v) { Store(color_, v); }
    void SetPointerColor(TColor v) { Store(pointerColor_, v); }
    void SetDrawLine(bool v) {
        drawLine_ = v;
        Changed();
    }
    void SetFont(const TSkFont& f) {
        font_->Assign(f);
        Changed();
    }
    void SetPosLeftTop(bool v) { Store(posLeftTop_, v); }
    void SetSteps(int v) {
        if (v >= 1 && v <= 20) Store(steps_, v);
    }
    void SetSubSteps(int v) {
        if (v >= 1 && v <= 10) Store(subSteps_, v);
    }
    void SetValueFormat(const QString& v) { Store(valueFormat_, v); }
    void SetValueFormatLog(const QString& v) { Store(valueFormatLog_, v); }

    // Metrics set by the measuring routines.
    QString Labels;
    int LabelWidth = 0;
    int LabelHeight = 0;
    int LineWidth = 2;
    int ThinLineWidth = 1;
    int LongTick = 14;
    int ShortTick = 7;
    int LabelGap = 4;
    int ScaleWidth = 0;
    int ScaleLength = 0;

private:
    TColor color_ = clBlack;
    TColor pointerColor_ = clLime;
    bool drawLine_ = true;
    TSkFont* font_;
    bool posLeftTop_ = false;
    int steps_ = 5;
    int subSteps_ = 2;
    QString valueFormat_ = QStringLiteral("##0");
    QString valueFormatLog_ = QStringLiteral("0e-0");
};
