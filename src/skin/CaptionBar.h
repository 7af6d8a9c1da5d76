#pragma once
// The title bar a skinned window draws for itself, since the window manager
// will not let the program paint its own: the skinned caption, the plain
// caption stretch up to the system buttons, the close button, and dragging to
// move the window.

#include <functional>

#include <QPoint>
#include <QWidget>

#include "skin/CaptionPainter.h"

class TCaptionBar : public QWidget {
    Q_OBJECT
public:
    explicit TCaptionBar(QWidget* window);

    // Produces the look of the caption at a given size; set by the skin.
    std::function<TCaptionLook(QSize)> LookOf;
    // The colour of the caption beyond the skinned rectangle.
    std::function<QColor()> PlatformCaptionColor;

    // Width of the skinned part, from the bar's left edge.
    void SetSkinnedWidth(int width);
    int SkinnedWidth() const { return skinnedWidth_; }
    void SetCloseButton(const QRect& rect);
    QRect CloseButtonRect() const { return closeRect_; }

    // Throws the rendered caption away; the next paint renders it again.
    void Invalidate();
    // The caption as it is drawn now (rendered first when needed).
    const TCaptionRender& Rendered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintCloseButton(QPainter& p) const;

    TCaptionRender render_;
    bool dirty_ = true;
    int skinnedWidth_ = 0;
    QRect closeRect_;
    bool closePressed_ = false;
    bool closeDown_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
};
