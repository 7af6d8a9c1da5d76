#pragma once
// The vertical slider: a knob travelling in a framed trench between two tick
// scales, a value read-out above and two caption lines below.

#include <utility>

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QStaticText>

#include "slider/AnalogControl.h"
#include "slider/ScaleDraw.h"
#include "slider/VSliderLayout.h"
#include "slider/VSliderPicture.h"
#include "slider/VSliderSettings.h"

class TSkVSlider : public TSkAnalogCControl {
public:
    explicit TSkVSlider(QWidget* parent = nullptr);

    TSkFont* Font() const { return FFont; }
    TSkSBevel* BevelOuter() const { return FBevelOuter; }
    TSkSBevel* BevelValue() const { return FBevelValue; }
    int ButtonSize() const { return FButtonSize; }
    TColor ColorTrench() const { return FColorTrench; }
    TSkFont* FontValue() const { return FFontValue; }
    TVSliderOptions Options() const { return FOptions; }
    TScaleSettings* ScaleSettings() const { return FScaleSettings; }

    void SetButtonSize(int v);
    void SetColorTrench(TColor v);
    void SetOptions(TVSliderOptions v);
    void SetFontValue(const TSkFont& f) { FFontValue->Assign(f); }

    // Layout of the last paint.
    int KnobLength() const { return FLayout.KnobLength; }
    int KnobBreadth() const { return FLayout.KnobBreadth; }
    const TVSliderLayout& Layout() const { return FLayout; }
    const TSkRect& TrenchRect() const { return FLayout.TrenchRect; }
    const TSkRect& TrackRect() const { return FLayout.TrackRect; }
    const TSkRect& ValueBoxRect() const { return FLayout.ValueBoxRect; }
    bool TooSmall() const { return FLayout.TooSmall; }
    bool BackgroundValid() const { return FBackgroundValid; }
    // The knob centre of the last value display, in control coordinates.
    QPoint KnobCentre() const { return FKnobCentre; }

    // Keeps the unchanging part of the picture between paints (the default);
    // off, every paint draws everything afresh. Both give the same pixels.
    void SetKeepPicture(bool v);
    bool KeepPicture() const { return FKeepPicture; }
    // How often this fader's kept picture was replaced (drawn, or taken from
    // a fader alike in every input of it).
    int PictureBuilds() const { return FPictureBuilds; }
    // How many paints drew everything afresh.
    int PaintsAfresh() const { return FPaintsAfresh; }
    // How many kept pictures were drawn, by all faders together: faders alike
    // in every input of the picture share one.
    static int SharedPictureDraws();
    // How often the knob and read-out were drawn.
    int ValueDisplayDraws() const { return FValueDisplayDraws; }

    // Runs a batch of changes (digit, names, colours) and then draws the
    // fader once: meanwhile a new digit draws no knob of its own. When the
    // unchanging part stayed as it was, only the captions (if they changed),
    // the knob and the read-out are drawn again, and only they are shown.
    template <typename Change>
    void RedrawAfter(Change&& change) {
        QPointer<TSkVSlider> self(this);
        const bool pendingBefore = PaintPending();
        const auto hold = [&](bool held) {
            FValueDisplayHeld = held;
            HoldInvalidate(held);
        };
        hold(true);
        try {
            change();
        } catch (...) {
            // A failed batch must not leave the fader deaf to later changes.
            if (self) {
                hold(false);
                Invalidate();
            }
            throw;
        }
        if (!self) return;
        hold(false);
        if (pendingBefore || !RedrawOverKept()) RedrawCanvas();
    }
    // How many batches were drawn over the kept picture without a full paint.
    int RedrawsOverKept() const { return FRedrawsOverKept; }

    void Loaded() override;
    void SettingsChanged() override;
    void UpdateValueDisplay() override;

protected:
    void Paint() override;
    void SlideTo(int x, int y) override;

private:
    TVSliderLayoutInput MeasureForLayout();
    void PrepareScale();
    TVSliderPictureKey PictureKey() const;
    void PaintAfresh();
    void BuildKeptPicture(TVSliderPictureKey key);
    bool NamesClearOfTrench(const QImage& withNames);
    void ShowPicture(QImage picture, const QImage* trackBackground);
    bool RedrawOverKept();
    std::pair<QString, QString> ShownNames() const;
    void PaintFace(QPainter& p);
    void PaintNames(QPainter& p);
    void PaintTrench(QPainter& p);
    void DrawValueText(QPainter& c);
    static const QImage& KnobPicture(int size, TColor color);
    // A caption line as drawn: shortened to the width, its advance, laid out.
    struct TFittedName {
        QString Text;
        int Advance = 0;
        QStaticText Laid;
    };
    const TFittedName& FitName(const QFont& font, int width, const QString& text);

    TSkFont* FFont;
    TSkSBevel* FBevelOuter;
    TSkSBevel* FBevelValue;
    int FButtonSize = 30;
    TColor FColorTrench = clGreen;
    TSkFont* FFontValue;
    TVSliderOptions FOptions = AllVSliderOptions;
    TScaleSettings* FScaleSettings;

    TVSliderLayout FLayout;
    QImage FTrackBackground{1, 1, QImage::Format_RGB32};
    bool FBackgroundValid = false;
    QPoint FKnobCentre;
    QHash<QString, TFittedName> FNameFits;
    QFont FNameFont;
    int FNameWidth = -1;

    // The picture without captions, knob and read-out, with what it was drawn for.
    struct TKeptPicture {
        bool Valid = false;
        TVSliderPictureKey Key;
        QImage Picture;
        QImage TrackBackground;
        TVSliderLayout Layout;
        TRowSpan TrenchRows;
        // Whether a pair of captions stays clear of the trench rows, once
        // measured: the pairs of every page, within bounds.
        QHash<std::pair<QString, QString>, bool> NamesClear;
    };
    TKeptPicture FKept;
    // Whether the canvas holds the kept picture with these captions drawn over
    // it, clear of the trench rows, and the knob and read-out drawn since.
    bool FCanvasOverKept = false;
    QString FCanvasName1, FCanvasName2;
    bool FKeepPicture = true;
    int FPictureBuilds = 0;
    int FPaintsAfresh = 0;
    int FValueDisplayDraws = 0;
    int FRedrawsOverKept = 0;
    bool FValueDisplayHeld = false;
};
