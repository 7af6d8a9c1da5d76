#include "app/CommandKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "core/VirtualKeys.h"

TCommandKeys::TCommandKeys(QWidget* window) : QObject(window), window_(window) {}

void TCommandKeys::Add(bool ctrl, bool shift, unsigned virtualKey, std::function<void()> command) {
    bindings_.push_back({ctrl, shift, virtualKey, std::move(command)});
}

bool TCommandKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWindowType() ||
        watched != window_->windowHandle())
        return false;
    if (QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const Qt::KeyboardModifiers mods = key.modifiers();
    if (mods.testFlag(Qt::AltModifier) || mods.testFlag(Qt::MetaModifier)) return false;
    // The key's position first, as the host is told it; Qt's name where the
    // platform gives no native code.
    std::optional<VirtualKey> vk = VirtualKeyFromNative(key.nativeScanCode());
    if (!vk) vk = VirtualKeyFromQt(key.key());
    if (!vk) return false;
    for (const TBinding& b : bindings_) {
        if (b.VirtualKey != vk->Code || b.Ctrl != mods.testFlag(Qt::ControlModifier) ||
            b.Shift != mods.testFlag(Qt::ShiftModifier))
            continue;
        if (!key.isAutoRepeat()) b.Command();
        return true;
    }
    return false;
}
