#include "slider/VSliderLayout.h"

#include "slider/ScaleDraw.h"

int ClampButtonSize(int size, int width) {
    if (size > width) size = width;
    if (size < 18) size = 18;
    return size;
}

namespace {

// The read-out box at the top of r; r moves down below it.
void LayoutValueBox(const TVSliderLayoutInput& in, TVSliderLayout& out, TSkRect& r) {
    const TSkSBevel& bv = *in.BevelValue;
    out.Pad = in.SampleHeight / 3;
    const int boxHeight = 2 * bv.BorderWidth() + in.SampleHeight;
    const int u = (in.Options & opUnit) ? in.UnitWidth : 0;
    TSkRect box;
    box.Left = r.Left + (r.Width() - in.SampleWidth - u - out.Pad) / 2 - out.Pad;
    box.Top = r.Top;
    box.Right = box.Left + in.SampleWidth + 2 * bv.BorderWidth() + 2 * out.Pad;
    box.Bottom = r.Top + boxHeight;
    out.ValueBevel = box;
    const TSkRect content = BevelContentRect(bv, box);
    out.UnitPos = QPoint(content.Right + out.Pad, content.Top);
    out.ValueBoxRect = {content.Left + out.Pad, content.Top, content.Right - out.Pad,
                        content.Bottom};
    r.Top += boxHeight + in.BevelOuter->Spacing();
}

// The caption lines at the bottom of r, Name2 lowest; r moves up above them.
void LayoutNames(const TVSliderLayoutInput& in, TVSliderLayout& out, TSkRect& r) {
    out.NameX = in.Width / 2;
    if (in.Options & opName2) {
        out.Name2Bottom = r.Bottom;
        r.Bottom -= in.NameLineHeight;
    }
    if (in.Options & opName1) {
        out.Name1Bottom = r.Bottom;
        r.Bottom -= in.NameLineHeight;
    }
    if (in.Options & (opName1 | opName2)) r.Bottom -= in.BevelOuter->Spacing();
}

// Track, scales and trench in what is left of r.
void LayoutTrench(const TVSliderLayoutInput& in, TVSliderLayout& out, TSkRect r) {
    out.ButtonSize = ClampButtonSize(in.ButtonSize, in.Width);
    out.KnobLength = RoundEven(0.4 * out.ButtonSize);
    out.KnobBreadth = out.ButtonSize;
    out.Margin = std::max(out.KnobLength / 2, in.LabelHeight / 3);
    r.Top += out.Margin;
    r.Bottom -= out.Margin;

    out.TrackRect.Left = r.Left + r.Width() / 2 - out.ButtonSize / 2;
    out.TrackRect.Right = out.TrackRect.Left + out.ButtonSize + 1;
    out.TrackRect.Top = r.Top - out.KnobLength / 2;
    out.TrackRect.Bottom = r.Bottom + out.KnobLength / 2;

    const int s = in.ScaleWidth;
    const int half = (r.Width() - 2 * s - 4) / 2;
    const int x0 = r.Left + half + s;
    out.LeftScale = {r.Left, r.Top + 1, x0 - 5, r.Bottom - 1};
    out.TrenchOuter = {x0, r.Top, x0 + 5, r.Bottom};
    out.RightScale = {x0 + 9, r.Top + 1, r.Right, r.Bottom - 1};
    out.TrenchRect = out.TrenchOuter.Inflated(-1);
}

} // namespace

TVSliderLayout LayoutVSlider(const TVSliderLayoutInput& in) {
    TVSliderLayout out;
    TSkRect r{0, 0, in.Width, in.Height};
    if (in.Options & opBevelOuter) r = BevelContentRect(*in.BevelOuter, r);
    out.Content = r;
    if (in.Options & opValue) LayoutValueBox(in, out, r);
    LayoutNames(in, out, r);
    out.TooSmall = r.Width() < 2 || r.Height() < 2;
    out.ButtonSize = ClampButtonSize(in.ButtonSize, in.Width);
    if (!out.TooSmall) LayoutTrench(in, out, r);
    return out;
}

int KnobCentreRow(int trackHeight, int knobLength, int trenchHeight, std::int32_t digitalSpan,
                  std::int32_t digit, std::int32_t digitalFrom) {
    const double base = trackHeight - knobLength / 2 - 1;
    if (digitalSpan == 0) return RoundEven(base); // a degenerate mapping sits at the bottom
    const double perDigit = static_cast<double>(trenchHeight) / digitalSpan;
    return RoundEven(base - perDigit * (static_cast<double>(digit) - digitalFrom));
}

TSkRect KnobHitRectFor(const TSkRect& track, bool mouseJump, int centreRow, int buttonSize) {
    if (mouseJump) return track;
    const int b = RoundEven(0.2 * buttonSize);
    return {track.Left, centreRow - b, track.Right, centreRow + b};
}
