#include "hostlink/KeyRepeatMode.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

// Last: the X11 headers define macros that clash with Qt's names.
#include <X11/XKBlib.h>

namespace hostlink {

bool RequestRepeatsWithoutReleases() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) return false;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return false;
    int supported = 0;
    return XkbSetDetectableAutoRepeat(x11->display(), 1, &supported) != 0 && supported != 0;
}

KeyboardRepeat KeyboardRepeatTiming() {
    KeyboardRepeat timing;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) return timing;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return timing;
    unsigned delay = 0;
    unsigned interval = 0;
    if (XkbGetAutoRepeatRate(x11->display(), XkbUseCoreKbd, &delay, &interval) == 0) return timing;
    // Bounded: a setting of 0 would repeat in a busy loop.
    if (delay > 0 && delay <= 10000) timing.DelayMs = static_cast<int>(delay);
    if (interval >= 5 && interval <= 10000) timing.IntervalMs = static_cast<int>(interval);
    return timing;
}

} // namespace hostlink
