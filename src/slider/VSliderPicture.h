#pragma once
// What the unchanging part of a slider's picture (face, bevels, read-out box
// and unit, scales, trench) depends on, so that a kept picture is reused
// only while every one of these inputs is the same.

#include <cstdint>

#include <QImage>
#include <QSize>
#include <QString>

#include "base/Colors.h"
#include "slider/VSliderLayout.h"
#include "slider/VSliderSettings.h"

class TSignalSettings;

struct TFontKey {
    QString Name;
    int Size = 0;
    TColor Color = 0;
    TFontStyles Style = 0;
    bool operator==(const TFontKey&) const = default;
};

struct TBevelKey {
    TBevelStyle Style = bsRaised;
    int Spacing = 0;
    TBevelLine BevelLine = blNone;
    int Width = 0;
    TColor Color = 0, ShadowFrom = 0, ShadowTo = 0, HighLightFrom = 0, HighLightTo = 0;
    TColor PenColor = 0;
    int OffsetTop = 0, OffsetLeft = 0, OffsetRight = 0, OffsetBottom = 0;
    TColor GradFrom = 0, GradTo = 0;
    bool GradVisible = false;
    TGradientStyle GradStyle = gsHorizontal1;
    bool operator==(const TBevelKey&) const = default;
};

struct TScaleKey {
    TColor Color = 0;
    bool DrawLine = false;
    TFontKey Font;
    int Steps = 0, SubSteps = 0;
    QString ValueFormat;
    int ThinLineWidth = 0;
    bool operator==(const TScaleKey&) const = default;
};

struct TVSliderPictureKey {
    QSize Size;
    TVSliderOptions Options = 0;
    int ButtonSize = 0; // as corrected to the width
    TColor ColorTrench = 0;
    TBevelKey BevelOuter, BevelValue;
    TFontKey Font, FontValue;
    TScaleKey Scale;
    float ValueFrom = 0, ValueTo = 0;
    QString ValueUnit, SampleText;
    qint64 Palette = 0; // system colours resolve through it
    bool operator==(const TVSliderPictureKey&) const = default;
};

TFontKey FontKeyOf(const TSkFont& f);
TBevelKey BevelKeyOf(const TSkSBevel& b);
TScaleKey ScaleKeyOf(const TScaleSettings& s);
// The key of the application palette now.
qint64 PaletteKeyNow();

// The rows [First, Last] that the scales, trench and knob column can touch,
// scale labels included.
struct TRowSpan {
    int First = 0, Last = -1;
};
TRowSpan TrenchRows(const TVSliderLayout& layout, int labelHeight);
// Whether two pictures of one size hold the same pixels in the rows of the span.
bool RowsEqual(const QImage& a, const QImage& b, TRowSpan rows);
