#pragma once
// The button face: all button behaviour and drawing. It never takes the
// keyboard focus; a ToxCustomButton wrapper adds that.

#include <bitset>
#include <deque>
#include <functional>
#include <memory>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "base/Component.h"
#include "buttons/Background.h"
#include "buttons/Border.h"
#include "buttons/ButtonSignals.h"
#include "buttons/ButtonTypes.h"
#include "buttons/CaptionLayout.h"
#include "buttons/FacePaint.h"

class QMenu;
class QTimer;
class ToxCustomButton;

// A component that can play a sound when told (click, press, enter, exit).
using ToxSoundHook = std::function<void()>;

class ToxCustomGraphicButton : public ToxButtonSignals {
    Q_OBJECT
public:
    explicit ToxCustomGraphicButton(QWidget* parent = nullptr);
    ~ToxCustomGraphicButton() override;

    // Behaviour.
    ToxButtonType ButtonType() const { return type_; }
    void SetButtonType(ToxButtonType t) { type_ = t; }
    bool Value() const { return value_; }
    void SetValue(bool v);
    int Group() const { return group_; }
    void SetGroup(int g);
    bool GroupAllowNoSel() const { return allowNoSel_; }
    void SetGroupAllowNoSel(bool a);
    bool Grayed() const { return grayed_; }
    void SetGrayed(bool g);
    std::uint16_t Delay() const { return delay_; }
    void SetDelay(std::uint16_t ms) { delay_ = ms; }
    std::uint16_t InitDelay() const { return initDelay_; }
    void SetInitDelay(std::uint16_t ms) { initDelay_ = ms; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* m) { popupMenu_ = m; }
    int Cursor() const { return cursor_; }
    void SetCursor(int tcursor);
    // An attached action runs instead of emitting clicked.
    QAction* Action() const { return action_; }
    void SetAction(QAction* a) { action_ = a; }

    // State.
    ToxPressState PressState() const { return pressState_; }
    bool IsPressed() const { return pressed_; }
    bool Hot() const { return hot_; }
    bool Focused() const { return focused_; }
    bool IsDefault() const { return default_; }
    void SetFocused(bool f);
    void SetDefault(bool d);
    bool RepeatTimerActive() const;
    ToxCustomButton* Wrapper() const { return wrapper_; }

    // Look.
    ToxBtnStyle Style() const { return style_; }
    ToxBtnStyle EffectiveStyle() const { return effectiveStyle_; }
    void SetStyle(ToxBtnStyle s);
    ToxBackground& Background() { return background_; }
    const ToxBackground& Background() const { return background_; }
    ToxBorderInset BorderInset() const { return inset_; }
    void SetBorderInset(ToxBorderInset inset);
    ToxBorderColors BorderColors() const { return borderColors_; }
    void SetBorderColors(ToxBorderColors c);
    TColor BtnLightColor() const { return CurrentBevel().Light; }
    TColor BtnHighlightColor() const { return CurrentBevel().Highlight; }
    TColor BtnShadowColor() const { return CurrentBevel().Shadow; }
    TColor BtnDkShadowColor() const { return CurrentBevel().DkShadow; }
    TColor ShadowColor() const { return CurrentBevel().ShadowColor; }
    void SetBtnLightColor(TColor c);
    void SetBtnHighlightColor(TColor c);
    void SetBtnShadowColor(TColor c);
    void SetBtnDkShadowColor(TColor c);
    void SetShadowColor(TColor c);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool p);
    // The face's own font (not its container's).
    QFont Font() const { return font(); }
    void SetFont(const QFont& f) { setFont(f); }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor c);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TCaptionStrings Lines();
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool m);
    ToxFontStyle Font3D() const { return font3D_; }
    void SetFont3D(ToxFontStyle f);
    int TextAngle() const { return textAngle_; }
    void SetTextAngle(int degrees);
    int TextX() const { return textX_; }
    void SetTextX(int x);
    int TextY() const { return textY_; }
    void SetTextY(int y);
    const QImage& PictureUp() const { return pictures_.Up; }
    const QImage& PictureDown() const { return pictures_.Down; }
    const QImage& PictureOver() const { return pictures_.Over; }
    const QImage& PictureDisabled() const { return pictures_.Disabled; }
    void SetPictureUp(const QImage& p);
    void SetPictureDown(const QImage& p);
    void SetPictureOver(const QImage& p);
    void SetPictureDisabled(const QImage& p);
    int PictureX() const { return pictureX_; }
    void SetPictureX(int x);
    int PictureY() const { return pictureY_; }
    void SetPictureY(int y);
    ToxButtonOptions Options() const { return options_; }
    void SetOptions(ToxButtonOptions o);
    ToxFocusStyle FocusStyle() const { return focusStyle_; }
    void SetFocusStyle(ToxFocusStyle f);

    // Rectangles of the last drawing.
    QRect TextRect() const { return textRect_; }
    QRect PictureRect() const { return pictureRect_; }

    // Drawing cache: the appearances of the current caption and colour, and
    // the faces drawn before for other captions, colours and values, kept
    // until anything else about the look changes.
    void DropCache() {
        valid_.reset();
        keptFaces_.clear();
    }
    bool SlotValid(int slot) const { return slot >= 0 && slot < kAppearanceSlots && valid_[slot]; }
    int CurrentSlot() const;
    // Paints the current appearance (from the cache when it holds it).
    void PaintTo(QPainter& painter);
    // How many times an appearance has been drawn (not copied).
    int DrawCount() const { return drawCount_; }

    // Hit test in client coordinates.
    bool IsInside(int x, int y) const;

    virtual void Click();
    virtual void Change();
    virtual void Toggle();

    ToxSoundHook SoundClick_Component;
    ToxSoundHook SoundDown_Component;
    ToxSoundHook SoundEnter_Component;
    ToxSoundHook SoundExit_Component;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    friend class ToxCustomButton;

    void Redraw(); // drop the cache and schedule a repaint
    // Schedules a repaint after a change of caption, colour or value: faces
    // kept for other ones stay.
    void ShowOtherFace();
    // Stores a drawn property and redraws when it changed.
    template <typename T>
    void Store(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Redraw();
    }
    void RepaintNow();
    void NotifyGroup();
    void ReceiveGroupNotification(ToxCustomGraphicButton* sender, int group);
    QWidget* Container() const;
    void PopupMenuNow(bool arrow);
    void RepeatTick();
    void StopRepeat();
    void ExchangePictures();
    void RestorePictures();
    void SetHot(bool h);
    bool HotRedraws() const;
    void UpdateHotFromCursor();
    void UpdateAccelerator();
    void ReleaseCache();
    ToxBevelColors CurrentBevel() const;
    TColor ResolvedBackground() const;
    TColor ContainerColor() const;
    TColor FaceColor() const;
    ToxFaceLook StateLook() const;
    ToxFaceLook MakeLook() const;
    void SetCustomBevel(TColor ToxBevelColors::*field, TColor c);
    void OnBackgroundColor(TColor c);

    ToxButtonType type_ = ToxButtonType::oxbCommand;
    bool value_ = false;
    int group_ = 0;
    bool allowNoSel_ = false;
    bool grayed_ = false;
    std::uint16_t delay_ = kDefaultRepeatDelay;
    std::uint16_t initDelay_ = kDefaultRepeatInitDelay;
    bool pressed_ = false;
    bool hot_ = false;
    ToxPressState pressState_ = ToxPressState::Up;
    bool focused_ = false;
    bool default_ = false;
    QTimer* repeatTimer_ = nullptr;
    QPointer<QMenu> popupMenu_;
    QPointer<QAction> action_;
    int cursor_ = crDefault;
    ToxCustomButton* wrapper_ = nullptr;
    int shortcutId_ = 0;

    ToxBtnStyle style_ = ToxBtnStyle::bsAuto;
    ToxBtnStyle effectiveStyle_ = ToxBtnStyle::bsWin97;
    ToxBackground background_;
    ToxBorderInset inset_;
    ToxBorderColors borderColors_ = ToxBorderColors::oxbWinColor;
    ToxBevelColors customBevel_;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    bool syncingColor_ = false;
    TColor fontColor_ = clBtnText;
    QString caption_;
    bool multiLine_ = false;
    ToxFontStyle font3D_ = ToxFontStyle::fsNormal;
    int textAngle_ = 0;
    int textX_ = -5;
    int textY_ = -5;
    ToxFacePictures pictures_;
    int pictureX_ = 1;
    int pictureY_ = 1;
    ToxButtonOptions options_ = oxbCacheImages;
    ToxFocusStyle focusStyle_ = 0;

    QImage cache_;
    std::bitset<kAppearanceSlots> valid_;
    struct TKeptFace {
        QString Caption;
        TColor Color, Background;
        bool Value;
        ToxPressState Press;
        int Slot;
        QImage Picture;
        QRect TextRect, PictureRect; // the hit areas drawn with it
    };
    // Enough for a bump button's captions on every page, in both values.
    static constexpr std::size_t kKeptFaces = 36;
    std::deque<TKeptFace> keptFaces_; // newest first
    const TKeptFace* KeptFace(int slot) const;
    void KeepFace(int slot, const QImage& picture);
    std::shared_ptr<const QImage> dither_;
    QRect textRect_;
    QRect pictureRect_;
    int drawCount_ = 0;
};

// The published face.
class ToxGraphicButton : public ToxCustomGraphicButton {
    Q_OBJECT
public:
    using ToxCustomGraphicButton::ToxCustomGraphicButton;
};

// The cursor shape a stored cursor number stands for.
