#include "skin/SkinnedForm.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include "skin/Bevel.h"
#include "skin/CaptionBar.h"
#include "skin/CaptionMath.h"
#include "skin/CaptionPainter.h"

namespace {

// A fixed (not sizeable) frame: two pixels of 3-D edge and two of face.
constexpr int kFrameWidth = 4;
// The system-button stretch ends this far inside the frame.
constexpr int kButtonAreaPadding = 4;
// This platform's title bars may carry a gradient.
constexpr bool kPlatformHasGradientCaptions = true;

QWidget* RequireWindowOwner(QObject* owner) {
    auto* window = qobject_cast<QWidget*>(owner);
    if (window == nullptr || !window->isWindow()) throw EoxFormError("A Form MUST be the owner");
    return window;
}

} // namespace

ToxForm::ToxForm(QObject* owner) : QObject(RequireWindowOwner(owner)) {
    owner_ = static_cast<QWidget*>(owner);
    setObjectName(QStringLiteral("oxForm1"));
    bar_ = new TCaptionBar(owner_);
    bar_->LookOf = [this](QSize size) { return LookOf(size); };
    bar_->PlatformCaptionColor = [this] {
        return ToQColor(CaptionEndColor(IsActive(), DisplayDepth(), kPlatformHasGradientCaptions));
    };
    owner_->setWindowFlag(Qt::FramelessWindowHint, true);
    ApplyTaskbarOption();
    UpdateMetrics();
    owner_->installEventFilter(this);
}

ToxForm::~ToxForm() {
    if (owner_) owner_->removeEventFilter(this);
}

QString ToxForm::Caption() const {
    return owner_ ? owner_->windowTitle() : QString();
}
void ToxForm::SetCaption(const QString& caption) {
    if (owner_) owner_->setWindowTitle(caption); // the title change repaints
}

void ToxForm::SetActiveGradient(TColor c) {
    Assign(activeGradient_, c);
}
void ToxForm::SetInactiveGradient(TColor c) {
    Assign(inactiveGradient_, c);
}
void ToxForm::SetActiveTextColor(TColor c) {
    Assign(activeTextColor_, c);
}
void ToxForm::SetInactiveTextColor(TColor c) {
    Assign(inactiveTextColor_, c);
}
void ToxForm::SetActiveText(T3DEffect e) {
    Assign(activeText_, e);
}
void ToxForm::SetInactiveText(T3DEffect e) {
    Assign(inactiveText_, e);
}
void ToxForm::SetItalicWords(int words) {
    Assign(italicWords_, words);
}
void ToxForm::SetAlignment(Qt::Alignment alignment) {
    Assign(alignment_, alignment);
}

void ToxForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    Relayout();
}

void ToxForm::SetBorderIcons(TBorderIcons icons) {
    borderIcons_ = icons;
    Relayout();
}

void ToxForm::SetOptions(ToxfOptions options) {
    const bool taskbarChanged = ((options ^ options_) & oxfShowInTaskbar) != 0;
    options_ = options;
    if (taskbarChanged) ApplyTaskbarOption();
    Changed();
}

void ToxForm::SetDisplayDepthOverride(int bits) {
    depthOverride_ = bits;
    Changed();
}

int ToxForm::DisplayDepth() const {
    if (depthOverride_ > 0) return depthOverride_;
    const QScreen* screen = owner_ ? owner_->screen() : nullptr;
    return screen != nullptr ? screen->depth() : 24;
}

bool ToxForm::IsActive() const {
    return owner_ && owner_->isActiveWindow();
}

QMargins ToxForm::ChromeMargins() const {
    const int f = metrics_.frameWidth;
    return QMargins(f, f + metrics_.captionHeight, f, f);
}

void ToxForm::UpdateMetrics() {
    if (!owner_) return;
    metrics_.captionHeight =
        owner_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, owner_);
    // Caption buttons are as wide as the caption is high, as on the desktops
    // this look comes from.
    metrics_.buttonWidth = metrics_.captionHeight;
    metrics_.frameWidth = kFrameWidth;
    owner_->setContentsMargins(ChromeMargins());
    Relayout();
}

void ToxForm::Relayout() {
    if (!owner_) return;
    const int f = metrics_.frameWidth;
    const int w = owner_->width();
    bar_->setGeometry(f, f, std::max(w - 2 * f, 0), metrics_.captionHeight);
    const int button = metrics_.buttonWidth - 2;
    // The system buttons' stretch: three buttons when minimise or maximise is
    // in the icon set, even where this border does not show them.
    const int buttons = (borderIcons_ & (biMinimize | biMaximize)) != 0 ? 3 : 1;
    const int buttonArea = buttons * button + f + kButtonAreaPadding;
    bar_->SetSkinnedWidth(std::max(w - buttonArea - f, 0));
    const int barWidth = bar_->width();
    bar_->SetCloseButton((borderIcons_ & biSystemMenu) != 0
                             ? QRect(barWidth - 2 - button, 2, button, metrics_.captionHeight - 4)
                             : QRect());
    bar_->raise();
    bar_->Invalidate();
}

void ToxForm::Changed() {
    if (bar_ != nullptr) bar_->Invalidate();
}

void ToxForm::ApplyTaskbarOption() {
    if (!owner_) return;
    // A normal window gets its own task-bar button; a dialog rides on its owner's.
    // A window with an owner stays a dialog all the same: only a dialog is
    // made transient for its owner, which keeps it above the owner (also above
    // a stay-on-top one) and hands the focus back to the owner when it closes.
    // Whether such a window gets a button of its own is the task bar's choice.
    const bool owned = owner_->parentWidget() != nullptr;
    const Qt::WindowType type =
        (options_ & oxfShowInTaskbar) != 0 && !owned ? Qt::Window : Qt::Dialog;
    if (owner_->windowType() == type) return;
    const bool wasVisible = owner_->isVisible();
    owner_->hide();
    owner_->setWindowFlags((owner_->windowFlags() & ~Qt::WindowType_Mask) | type |
                           Qt::FramelessWindowHint);
    owner_->setVisible(wasVisible);
}

TCaptionLook ToxForm::LookOf(QSize size) const {
    TCaptionLook look;
    look.size = size;
    const bool active = IsActive();
    const ToxfOption gradientOption = active ? oxfActiveGradient : oxfInactiveGradient;
    const TColor end =
        ColorToRGB(CaptionEndColor(active, DisplayDepth(), kPlatformHasGradientCaptions));
    if ((options_ & gradientOption) != 0) {
        look.backgroundStart = ColorToRGB(active ? activeGradient_ : inactiveGradient_);
        look.backgroundEnd = end;
    } else {
        // The platform's own caption: its gradient, or its plain colour.
        look.gradient = kPlatformHasGradientCaptions && DisplayDepth() >= 9;
        look.backgroundStart = ColorToRGB(active ? clActiveCaption : clInactiveCaption);
        look.backgroundEnd = end;
    }
    const bool showsIcon = borderStyle_ != TFormBorderStyle::bsDialog &&
                           borderStyle_ != TFormBorderStyle::bsToolWindow;
    if (showsIcon && owner_) {
        look.icon = owner_->windowIcon();
        look.iconSize = QSize(metrics_.buttonWidth - 2, metrics_.captionHeight - 2);
    }
    look.font = QApplication::font("QMdiSubWindowTitleBar");
    look.caption = Caption();
    look.italicWords = italicWords_;
    look.alignment = alignment_;
    look.textEffect = active ? activeText_ : inactiveText_;
    look.textColors.text = ToQColor(active ? activeTextColor_ : inactiveTextColor_);
    look.textColors.highlight = ToQColor(clBtnHighlight);
    look.textColors.shadow = ToQColor(clBtnShadow);
    look.textColors.windowText = ToQColor(clWindowText);
    return look;
}

void ToxForm::PaintFrame() {
    QPainter p(owner_);
    const QRect r = owner_->rect();
    DrawBevelEdge(p, r, cl3DLight, cl3DDkShadow);
    DrawBevelEdge(p, r.adjusted(1, 1, -1, -1), clBtnHighlight, clBtnShadow);
}

bool ToxForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_) return false;
    switch (event->type()) {
    case QEvent::Paint:
        PaintFrame();
        break;
    case QEvent::Resize:
        Relayout();
        break;
    case QEvent::WindowTitleChange:
    case QEvent::ActivationChange:
    case QEvent::WindowIconChange:
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::Show:
        Changed();
        break;
    case QEvent::StyleChange:
        UpdateMetrics();
        break;
    default:
        break;
    }
    return false;
}
