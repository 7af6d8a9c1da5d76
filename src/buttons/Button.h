#pragma once
// The focusable button: a child window owning one face that fills it. It
// forwards every face property, emits the face's signals again as its own,
// and adds keyboard focus and operation, default/cancel and Kind.

#include <functional>

#include <QPointer>
#include <QWidget>

#include "buttons/GraphicButton.h"

class ToxCustomButton : public ToxButtonSignals {
    Q_OBJECT
public:
    explicit ToxCustomButton(QWidget* parent = nullptr);
    ~ToxCustomButton() override;

    ToxCustomGraphicButton* Face() const { return face_; }

    ToxBtnKind Kind() const;
    void SetKind(ToxBtnKind kind);
    bool Default() const { return default_; }
    void SetDefault(bool d);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool c);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int c) { helpContext_ = c; }
    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void SetTabStop(bool t) { setFocusPolicy(t ? Qt::StrongFocus : Qt::ClickFocus); }
    bool Focused() const { return hasFocus(); }
    // The focused button, or the Default one while the focus is on a
    // control that is not a button.
    bool IsActiveDefault() const;
    bool KeyHeld() const { return keyHeld_; }
    // An attached action runs instead of emitting clicked.
    QAction* Action() const { return action_; }
    void SetAction(QAction* a) { action_ = a; }

    // Forwarded face properties.
    ToxButtonType ButtonType() const { return face_->ButtonType(); }
    void SetButtonType(ToxButtonType t) { face_->SetButtonType(t); }
    bool Value() const { return face_->Value(); }
    void SetValue(bool v) { face_->SetValue(v); }
    int Group() const { return face_->Group(); }
    void SetGroup(int g) { face_->SetGroup(g); }
    bool GroupAllowNoSel() const { return face_->GroupAllowNoSel(); }
    void SetGroupAllowNoSel(bool a) { face_->SetGroupAllowNoSel(a); }
    bool Grayed() const { return face_->Grayed(); }
    void SetGrayed(bool g) { face_->SetGrayed(g); }
    std::uint16_t Delay() const { return face_->Delay(); }
    void SetDelay(std::uint16_t ms) { face_->SetDelay(ms); }
    std::uint16_t InitDelay() const { return face_->InitDelay(); }
    void SetInitDelay(std::uint16_t ms) { face_->SetInitDelay(ms); }
    QMenu* PopupMenu() const { return face_->PopupMenu(); }
    void SetPopupMenu(QMenu* m) { face_->SetPopupMenu(m); }
    int Cursor() const { return face_->Cursor(); }
    void SetCursor(int tcursor) { face_->SetCursor(tcursor); }
    ToxBtnStyle Style() const { return face_->Style(); }
    void SetStyle(ToxBtnStyle s) { face_->SetStyle(s); }
    ToxBackground& Background() { return face_->Background(); }
    ToxBorderInset BorderInset() const { return face_->BorderInset(); }
    void SetBorderInset(ToxBorderInset i) { face_->SetBorderInset(i); }
    ToxBorderColors BorderColors() const { return face_->BorderColors(); }
    void SetBorderColors(ToxBorderColors c) { face_->SetBorderColors(c); }
    TColor BtnLightColor() const { return face_->BtnLightColor(); }
    void SetBtnLightColor(TColor c) { face_->SetBtnLightColor(c); }
    TColor BtnHighlightColor() const { return face_->BtnHighlightColor(); }
    void SetBtnHighlightColor(TColor c) { face_->SetBtnHighlightColor(c); }
    TColor BtnShadowColor() const { return face_->BtnShadowColor(); }
    void SetBtnShadowColor(TColor c) { face_->SetBtnShadowColor(c); }
    TColor BtnDkShadowColor() const { return face_->BtnDkShadowColor(); }
    void SetBtnDkShadowColor(TColor c) { face_->SetBtnDkShadowColor(c); }
    TColor ShadowColor() const { return face_->ShadowColor(); }
    void SetShadowColor(TColor c) { face_->SetShadowColor(c); }
    TColor Color() const { return face_->Color(); }
    void SetColor(TColor c) { face_->SetColor(c); }
    TColor FontColor() const { return face_->FontColor(); }
    void SetFontColor(TColor c) { face_->SetFontColor(c); }
    QFont Font() const { return font(); }
    void SetFont(const QFont& f) { setFont(f); }
    QString Caption() const { return face_->Caption(); }
    void SetCaption(const QString& c);
    TCaptionStrings Lines();
    bool MultiLine() const { return face_->MultiLine(); }
    void SetMultiLine(bool m) { face_->SetMultiLine(m); }
    ToxFontStyle Font3D() const { return face_->Font3D(); }
    void SetFont3D(ToxFontStyle f) { face_->SetFont3D(f); }
    int TextAngle() const { return face_->TextAngle(); }
    void SetTextAngle(int a) { face_->SetTextAngle(a); }
    int TextX() const { return face_->TextX(); }
    void SetTextX(int x) { face_->SetTextX(x); }
    int TextY() const { return face_->TextY(); }
    void SetTextY(int y) { face_->SetTextY(y); }
    const QImage& PictureUp() const { return face_->PictureUp(); }
    void SetPictureUp(const QImage& p) { face_->SetPictureUp(p); }
    const QImage& PictureDown() const { return face_->PictureDown(); }
    void SetPictureDown(const QImage& p) { face_->SetPictureDown(p); }
    const QImage& PictureOver() const { return face_->PictureOver(); }
    void SetPictureOver(const QImage& p) { face_->SetPictureOver(p); }
    const QImage& PictureDisabled() const { return face_->PictureDisabled(); }
    void SetPictureDisabled(const QImage& p) { face_->SetPictureDisabled(p); }
    int PictureX() const { return face_->PictureX(); }
    void SetPictureX(int x) { face_->SetPictureX(x); }
    int PictureY() const { return face_->PictureY(); }
    void SetPictureY(int y) { face_->SetPictureY(y); }
    ToxButtonOptions Options() const { return face_->Options(); }
    void SetOptions(ToxButtonOptions o) { face_->SetOptions(o); }
    ToxFocusStyle FocusStyle() const { return face_->FocusStyle(); }
    void SetFocusStyle(ToxFocusStyle f) { face_->SetFocusStyle(f); }

    virtual void Click();
    // Toggle pass-through to the face.
    void Toggle() { face_->Toggle(); }

    // Shows a help topic; unset, a help button clicks as an ordinary one.
    static inline std::function<void(int HelpContext)> ShowHelpTopic;

signals:
    // A receiver may zero the key: the button then leaves it alone.
    void keyDown(unsigned short& key, TShiftState shift);
    void keyUp(unsigned short& key, TShiftState shift);
    // The key's character, for a key that gives one.
    void keyPressed(char& key);
    void focusEntered();
    void focusLeft();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    friend class ToxCustomGraphicButton;

    bool TakeFocusForPress();
    bool CanTakeFocus() const;
    void DefaultAction();
    void UpdateDefaultFlag();
    void UpdateKeyFilter();
    void UpdateAccelerator();
    void HookFace();
    bool KeyDownSteps(QKeyEvent* event);
    bool HelpClick();

    ToxCustomGraphicButton* face_ = nullptr;
    ToxBtnKind kind_ = ToxBtnKind::bkCustom;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = mrNone;
    int helpContext_ = 0;
    bool keyHeld_ = false;
    bool filtering_ = false;
    int shortcutId_ = 0;
    QPointer<QAction> action_;
};

// The published wrapper.
class ToxButton : public ToxCustomButton {
    Q_OBJECT
public:
    using ToxCustomButton::ToxCustomButton;
};
