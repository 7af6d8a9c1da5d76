#pragma once
// Places a top-level window by the top-left corner of the frame the window
// manager draws around it, also before that frame is known to the program.

#include <optional>

#include <QPoint>
#include <QPointer>

class QWidget;

class TWindowPlace {
public:
    explicit TWindowPlace(QWidget* window);

    // The frame's corner on the screen (the window's own corner without a frame).
    int Top() const;
    int Left() const;
    // Each moves the frame; a Top and a Left set one after the other land
    // together even while the window system has not yet confirmed the first.
    void SetTop(int top);
    void SetLeft(int left);

private:
    QPoint Requested() const;
    void MoveFrameTo(QPoint corner);

    QPointer<QWidget> window_;
    std::optional<QPoint> requested_;
};
