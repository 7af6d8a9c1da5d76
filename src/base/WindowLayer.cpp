#include "base/WindowLayer.h"

#include <QWidget>
#include <QWindow>

void SetWindowTopmost(QWidget* window, bool topmost) {
    if (window == nullptr) return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (flags == window->windowFlags()) return;
    // setWindowFlags would hide and re-create the window; change the hint on
    // the live window instead and keep the widget's copy in step.
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
}

bool IsWindowTopmost(const QWidget* window) {
    return window != nullptr && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}
