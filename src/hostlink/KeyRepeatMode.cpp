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

} // namespace hostlink
