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

    TSkFont* Font() const { return font_; }
    TSkSBevel* BevelOuter() const { return bevelOuter_; }
    TSkSBevel* BevelValue() const { return bevelValue_; }
    int ButtonSize() const { return buttonSize_; }
    TColor ColorTrench() const { return colorTrench_; }
    TSkFont* FontValue() const { return fontValue_; }
    TVSliderOptions Options() const { return options_; }
    TScaleSettings* ScaleSettings() const { return scaleSettings_; }

    void SetButtonSize(int v);
    void SetColorTrench(TColor v);
    void SetOptions(TVSliderOptions v);
    void SetFontValue(const TSkFont& f) { fontValue_->Assign(f); }

    // Layout of the last paint.
    int KnobLength() const { return layout_.KnobLength; }
    int KnobBreadth() const { return layout_.KnobBreadth; }
    const TVSliderLayout& Layout() const { return layout_; }
    const TSkRect& TrenchRect() const { return layout_.TrenchRect; }
    const TSkRect& TrackRect() const { return layout_.TrackRect; }
    const TSkRect& ValueBoxRect() const { return layout_.ValueBoxRect; }
    bool TooSmall() const { return layout_.TooSmall; }
    bool BackgroundValid() const { return backgroundValid_; }
    // The knob centre of the last value display, in control coordinates.
    QPoint KnobCentre() const { return knobCentre_; }

    // Keeps the unchanging part of the picture between paints (the default);
    // off, every paint draws everything afresh. Both give the same pixels.
    void SetKeepPicture(bool v);
    bool KeepPicture() const { return keepPicture_; }
    // How often this fader's kept picture was replaced (drawn, or taken from
    // a fader alike in every input of it).
    int PictureBuilds() const { return pictureBuilds_; }
    // How many paints drew everything afresh.
    int PaintsAfresh() const { return paintsAfresh_; }
    // How many kept pictures were drawn, by all faders together: faders alike
    // in every input of the picture share one.
    static int SharedPictureDraws();
    // How often the knob and read-out were drawn.
    int ValueDisplayDraws() const { return valueDisplayDraws_; }

    // Runs a batch of changes (digit, names, colours) and then draws the
    // fader once: meanwhile a new digit draws no knob of its own. When the
    // unchanging part stayed as it was, only the captions (if they changed),
    // the knob and the read-out are drawn again, and only they are shown.
    template <typename Change>
    void RedrawAfter(Change&& change) {
        QPointer<TSkVSlider> self(this);
        const bool pendingBefore = PaintPending();
        const auto hold = [&](bool held) {
            valueDisplayHeld_ = held;
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
    int RedrawsOverKept() const { return redrawsOverKept_; }

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

    TSkFont* font_;
    TSkSBevel* bevelOuter_;
    TSkSBevel* bevelValue_;
    int buttonSize_ = 30;
    TColor colorTrench_ = clGreen;
    TSkFont* fontValue_;
    TVSliderOptions options_ = AllVSliderOptions;
    TScaleSettings* scaleSettings_;

    TVSliderLayout layout_;
    QImage trackBackground_{1, 1, QImage::Format_RGB32};
    bool backgroundValid_ = false;
    QPoint knobCentre_;
    QHash<QString, TFittedName> nameFits_;
    QFont nameFont_;
    int nameWidth_ = -1;

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
    TKeptPicture kept_;
    // Whether the canvas holds the kept picture with these captions drawn over
    // it, clear of the trench rows, and the knob and read-out drawn since.
    bool canvasOverKept_ = false;
    QString canvasName1_, canvasName2_;
    bool keepPicture_ = true;
    int pictureBuilds_ = 0;
    int paintsAfresh_ = 0;
    int valueDisplayDraws_ = 0;
    int redrawsOverKept_ = 0;
    bool valueDisplayHeld_ = false;
};
