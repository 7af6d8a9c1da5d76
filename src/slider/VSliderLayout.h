#pragma once
// Where everything of the vertical slider goes, as a pure function of its
// settings, its size and the text metrics measured by painting.

#include <cstdint>

#include <QPoint>

#include "slider/Rect.h"
#include "slider/VSliderSettings.h"

// Parts the slider draws, with their bit in Options.
enum TVSliderOption : std::uint8_t {
    opBevelOuter = 0x01,
    opUnit = 0x02,
    opValue = 0x04,
    opName1 = 0x08,
    opName2 = 0x10,
    opScaleText = 0x20,
};
using TVSliderOptions = std::uint8_t;
inline constexpr TVSliderOptions AllVSliderOptions = 0x3F;

struct TVSliderLayoutInput {
    int Width = 0, Height = 0;
    TVSliderOptions Options = AllVSliderOptions;
    const TSkSBevel* BevelOuter = nullptr;
    const TSkSBevel* BevelValue = nullptr;
    int SampleWidth = 0, SampleHeight = 0, UnitWidth = 0; // in the value font
    int NameLineHeight = 0;                               // height of "X" in the caption font
    int LabelHeight = 0;                                  // scale labels, 0 when they are not drawn
    int ScaleWidth = 0;
    int ButtonSize = 30;
};

struct TVSliderLayout {
    TSkRect Content;      // inside the outer bevel
    TSkRect ValueBevel;   // the read-out box before its bevel
    TSkRect ValueBoxRect; // where the read-out text goes
    QPoint UnitPos;       // top-left corner of the unit text
    int Pad = 0;
    int Name2Bottom = 0, Name1Bottom = 0; // bottom edges of the caption lines
    int NameX = 0;                        // their centre
    bool TooSmall = false;
    int ButtonSize = 0; // corrected to the width and to at least 18
    int KnobLength = 0;
    int KnobBreadth = 0;
    int Margin = 0;
    TSkRect TrackRect;   // the column the knob travels in
    TSkRect LeftScale;   // for DrawScale with PosLeftTop
    TSkRect RightScale;  // for DrawScale without
    TSkRect TrenchOuter; // the trench with its frame
    TSkRect TrenchRect;  // the trench interior
};

TVSliderLayout LayoutVSlider(const TVSliderLayoutInput& in);

// Corrects a knob size to the control's width and to at least 18.
int ClampButtonSize(int size, int width);

// Row of the knob centre inside the track picture of the given height.
int KnobCentreRow(int trackHeight, int knobLength, int trenchHeight, std::int32_t digitalSpan,
                  std::int32_t digit, std::int32_t digitalFrom);

// Where a left press starts a slide: the whole track, or with mouse jumping
// off only the knob's own rows around its centre (control coordinates).
TSkRect KnobHitRectFor(const TSkRect& track, bool mouseJump, int centreRow, int buttonSize);
