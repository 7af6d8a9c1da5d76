#pragma once
// ToxForm: a non-visual component that skins its owner window's caption bar
// with a colour gradient, the window's icon and the caption text in chosen
// colours. The window manager will not let a program paint the title bar it
// draws, so the owner becomes a frameless window with a title bar and a frame
// of its own, laid out with the platform's title-bar height.

#include <stdexcept>

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QSize>

#include "base/Colors.h"
#include "skin/TextEffect.h"

class QWidget;
class TCaptionBar;
struct TCaptionLook;

enum ToxfOption : unsigned {
    oxfActiveGradient = 1u << 0,
    oxfInactiveGradient = 1u << 1,
    oxfMinMax = 1u << 2,
    oxfShowInTaskbar = 1u << 3,
};
using ToxfOptions = unsigned;

// The owner's border, as far as the caption cares.
enum class TFormBorderStyle { bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2 };
using TBorderIcons = unsigned;

// Raised when the skin is created on anything but a window.
class EoxFormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sizes of the drawn frame and title bar.
struct TCaptionMetrics {
    int captionHeight = 0; // the platform's title-bar height
    int buttonWidth = 0;   // width of one caption button
    int frameWidth = 0;
};

class ToxForm : public QObject {
    Q_OBJECT
public:
    // Throws EoxFormError "A Form MUST be the owner" unless owner is a window.
    explicit ToxForm(QObject* owner);
    ~ToxForm() override;

    QString Caption() const;
    void SetCaption(const QString& caption);
    TColor ActiveGradient() const { return activeGradient_; }
    void SetActiveGradient(TColor c);
    TColor InactiveGradient() const { return inactiveGradient_; }
    void SetInactiveGradient(TColor c);
    TColor ActiveTextColor() const { return activeTextColor_; }
    void SetActiveTextColor(TColor c);
    TColor InactiveTextColor() const { return inactiveTextColor_; }
    void SetInactiveTextColor(TColor c);
    T3DEffect ActiveText() const { return activeText_; }
    void SetActiveText(T3DEffect e);
    T3DEffect InactiveText() const { return inactiveText_; }
    void SetInactiveText(T3DEffect e);
    ToxfOptions Options() const { return options_; }
    void SetOptions(ToxfOptions options);
    int ItalicWords() const { return italicWords_; }
    void SetItalicWords(int words);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);

    // Test and layout helpers.
    TCaptionMetrics Metrics() const { return metrics_; }
    QMargins ChromeMargins() const; // frame and title bar around the client area
    QSize OuterSizeFor(const QSize& client) const { return client.grownBy(ChromeMargins()); }
    bool IsActive() const;
    TCaptionBar* CaptionBar() const { return bar_; }
    // The display depth, for screens that cannot show a gradient; 0 = the screen's.
    void SetDisplayDepthOverride(int bits);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateMetrics();
    void Relayout();
    void Changed();
    // Sets a look property and repaints when it really changed.
    template <class T>
    void Assign(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    void ApplyTaskbarOption();
    void PaintFrame();
    TCaptionLook LookOf(QSize size) const;
    int DisplayDepth() const;

    QPointer<QWidget> owner_;
    TCaptionBar* bar_ = nullptr;
    TCaptionMetrics metrics_;
    TColor activeGradient_ = clBlack;
    TColor inactiveGradient_ = clGray;
    TColor activeTextColor_ = clCaptionText;
    TColor inactiveTextColor_ = clInactiveCaptionText;
    T3DEffect activeText_ = ox3Normal;
    T3DEffect inactiveText_ = ox3Normal;
    ToxfOptions options_ = oxfActiveGradient | oxfInactiveGradient;
    int italicWords_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    int depthOverride_ = 0;
};
