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
    int Top() const { return FTop; }
    int Left() const { return FLeft; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void SetTop(int v) { Store(FTop, v); }
    void SetLeft(int v) { Store(FLeft, v); }
    void SetRight(int v) { Store(FRight, v); }
    void SetBottom(int v) { Store(FBottom, v); }

private:
    int FTop = 0, FLeft = 0, FRight = 0, FBottom = 0;
};

class TSkGradSettings : public TSkPersistent {
public:
    using TSkPersistent::TSkPersistent;
    TColor ColorFrom() const { return FColorFrom; }
    TColor ColorTo() const { return FColorTo; }
    bool Visible() const { return FVisible; }
    TGradientStyle Style() const { return FStyle; }
    void SetColorFrom(TColor v) { Store(FColorFrom, v); }
    void SetColorTo(TColor v) { Store(FColorTo, v); }
    void SetVisible(bool v) { Store(FVisible, v); }
    void SetStyle(TGradientStyle v) { Store(FStyle, v); }

private:
    TColor FColorFrom = 0xE2E2E2;
    TColor FColorTo = 0x8F8F8F;
    bool FVisible = false;
    TGradientStyle FStyle = gsHorizontal1;
};

class TSkSBevel : public TSkPersistent {
public:
    explicit TSkSBevel(QObject* parent = nullptr);

    TSkOffset* Offset() const { return FOffset; }
    TBevelStyle Style() const { return FStyle; }
    int Spacing() const { return FSpacing; }
    TBevelLine BevelLine() const { return FBevelLine; }
    int Width() const { return FWidth; }
    TColor Color() const { return FColor; }
    TColor ColorShadowFrom() const { return FColorShadowFrom; }
    TColor ColorShadowTo() const { return FColorShadowTo; }
    TColor ColorHighLightFrom() const { return FColorHighLightFrom; }
    TColor ColorHighLightTo() const { return FColorHighLightTo; }
    TColor PenColor() const { return FPenColor; }
    TSkGradSettings* SurfaceGrad() const { return FSurfaceGrad; }
    int BorderWidth() const { return FBorderWidth; }

    void SetStyle(TBevelStyle v) { Store(FStyle, v); }
    void SetSpacing(int v) { Store(FSpacing, v); }
    void SetBevelLine(TBevelLine v) { Store(FBevelLine, v); }
    void SetWidth(int v) {
        if (v >= 0) Store(FWidth, v);
    }
    void SetColor(TColor v) { Store(FColor, v); }
    void SetColorShadowFrom(TColor v) { Store(FColorShadowFrom, v); }
    void SetColorShadowTo(TColor v) { Store(FColorShadowTo, v); }
    void SetColorHighLightFrom(TColor v) { Store(FColorHighLightFrom, v); }
    void SetColorHighLightTo(TColor v) { Store(FColorHighLightTo, v); }
    void SetPenColor(TColor v) { Store(FPenColor, v); }

    // Recomputes BorderWidth, then emits changed.
    void Changed() override;

private:
    TSkOffset* FOffset;
    TBevelStyle FStyle = bsRaised;
    int FSpacing = 5;
    TBevelLine FBevelLine = blNone;
    int FWidth = 2;
    TColor FColor = clBtnFace;
    TColor FColorShadowFrom = clBtnShadow;
    TColor FColorShadowTo = clBtnShadow;
    TColor FColorHighLightFrom = clBtnHighlight;
    TColor FColorHighLightTo = clBtnHighlight;
    TColor FPenColor = clBlack;
    TSkGradSettings* FSurfaceGrad;
    int FBorderWidth = 7;
};

// Font style bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font as the controls describe it: a face name, a size in points (at 96
// pixels per inch), a colour and a style set.
class TSkFont : public TSkPersistent {
public:
    TSkFont(const QString& name, int size, TColor color = clWindowText, QObject* parent = nullptr)
        : TSkPersistent(parent), FName(name), FSize(size), FColor(color) {}

    const QString& Name() const { return FName; }
    int Size() const { return FSize; }
    TColor Color() const { return FColor; }
    TFontStyles Style() const { return FStyle; }
    void SetName(const QString& v) { Store(FName, v); }
    void SetSize(int v) { Store(FSize, v); }
    void SetColor(TColor v) { Store(FColor, v); }
    void SetStyle(TFontStyles v) { Store(FStyle, v); }
    void Assign(const TSkFont& other);

    // Pixel height of the size: points at 96 pixels per inch, rounded.
    int PixelSize() const;
    const QFont& ToQFont() const;

    void Changed() override;

private:
    mutable const QFont* FCache = nullptr; // shared by every font of this look
    QString FName;
    int FSize;
    TColor FColor;
    TFontStyles FStyle = 0;
};

class TScaleSettings : public TSkPersistent {
public:
    // The library's defaults, or those a slider gives its own scale.
    enum class Defaults { Library, Slider };
    explicit TScaleSettings(Defaults defaults = Defaults::Library, QObject* parent = nullptr);

    TColor Color() const { return FColor; }
    TColor PointerColor() const { return FPointerColor; }
    bool DrawLine() const { return FDrawLine; }
    TSkFont* Font() const { return FFont; }
    bool PosLeftTop() const { return FPosLeftTop; }
    int Steps() const { return FSteps; }
    int SubSteps() const { return FSubSteps; }
    const QString& ValueFormat() const { return FValueFormat; }
    const QString& ValueFormatLog() const { return FValueFormatLog; }

    void SetColor(TColor v) { Store(FColor, v); }
    void SetPointerColor(TColor v) { Store(FPointerColor, v); }
    void SetDrawLine(bool v) {
        FDrawLine = v;
        Changed();
    }
    void SetFont(const TSkFont& f) {
        FFont->Assign(f);
        Changed();
    }
    void SetPosLeftTop(bool v) { Store(FPosLeftTop, v); }
    void SetSteps(int v) {
        if (v >= 1 && v <= 20) Store(FSteps, v);
    }
    void SetSubSteps(int v) {
        if (v >= 1 && v <= 10) Store(FSubSteps, v);
    }
    void SetValueFormat(const QString& v) { Store(FValueFormat, v); }
    void SetValueFormatLog(const QString& v) { Store(FValueFormatLog, v); }

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
    TColor FColor = clBlack;
    TColor FPointerColor = clLime;
    bool FDrawLine = true;
    TSkFont* FFont;
    bool FPosLeftTop = false;
    int FSteps = 5;
    int FSubSteps = 2;
    QString FValueFormat = QStringLiteral("##0");
    QString FValueFormatLog = QStringLiteral("0e-0");
};
