#pragma once
// The windowed base control of the slider library: its own canvas picture
// shown on the window, an update counter that holds back settings changes,
// and the key, mouse and focus signals.

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include "base/Component.h"
#include "base/Cursors.h"

class TSkCustomControl : public QWidget {
    Q_OBJECT
public:
    explicit TSkCustomControl(QWidget* parent = nullptr);

    void BeginUpdate() { ++updateCount_; }
    // Counter down by 1, never below 0; invalidates the control at 0.
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Calls SettingsChanged when no update is held back.
    virtual void NotifyChange();
    virtual void SettingsChanged() {}

    // Marks the whole control for a complete paint.
    void Invalidate();
    // Paints whatever is pending now.
    void Refresh() { repaint(); }
    // Draws the whole control onto its canvas now; the window shows it in its
    // next pass, together with every other control drawn so meanwhile. A
    // control not on the screen is only marked for a complete paint.
    void RedrawCanvas();
    // Visible, in a window the display shows.
    bool OnScreen() const;

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    int Cursor() const { return cursor_; }
    void SetCursor(int index);
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // The picture shown on the window.
    const QImage& Canvas() const { return canvas_; }
    int FullPaintCount() const { return fullPaints_; }

signals:
    void focusEntered();
    void focusLeft();
    // A left button released over the control, before mouseReleased.
    void clicked();
    // A receiver may zero the key: the control then leaves it alone.
    void keyDown(unsigned short& key, TShiftState shift);
    void keyUp(unsigned short& key, TShiftState shift);
    void mousePressed(TMouseButton button, TShiftState shift, int x, int y);
    void mouseReleased(TMouseButton button, TShiftState shift, int x, int y);
    void mouseMoved(TShiftState shift, int x, int y);

protected:
    // Draws the whole control onto the canvas.
    virtual void Paint() {}
    QImage& CanvasRef() { return canvas_; }
    bool InPaint() const { return inPaint_; }
    // Shows a part of the canvas that was drawn outside Paint at once.
    void ShowCanvasRegion(const QRegion& r);

    // The inherited handlers: each emits its signal. Key handlers may zero the key.
    virtual void KeyDown(unsigned short& key, TShiftState shift);
    virtual void KeyUp(unsigned short& key, TShiftState shift);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // Keys the control acts on are not passed on to its parents.
    virtual bool WantsKey(unsigned short) const { return false; }
    virtual void FocusChanged() {}
    virtual void EnabledChanged() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    bool PaintPending() const { return paintPending_; }
    // While held, an invalidation only marks the control: the caller shows
    // what it redrew itself.
    void HoldInvalidate(bool held) { invalidateHeld_ = held; }
    // The canvas was brought up to date outside Paint.
    void MarkPainted() { paintPending_ = false; }

private:
    void PaintCanvas();

    int updateCount_ = 0;
    bool tabStop_ = true;
    int cursor_ = crDefault;
    int tag_ = 0;
    QPointer<QMenu> popupMenu_;
    QImage canvas_;
    QRegion ownDirty_; // canvas parts drawn outside Paint, waiting to be shown
    bool paintPending_ = true;
    bool inPaint_ = false;
    bool invalidateHeld_ = false;
    int fullPaints_ = 0;
};
