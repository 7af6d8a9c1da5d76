#pragma once
// Focus tests that do not depend on whether the window is active: a widget
// given the focus in an inactive window holds it there and gets it back when
// the window is activated, so handlers treat it as focused.

#include <QWidget>

inline bool HoldsWindowFocus(const QWidget& widget) {
    if (widget.hasFocus()) return true;
    const QWidget* window = widget.window();
    return window != nullptr && window->focusWidget() == &widget;
}
