#include "app/KeyFilter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>

#include "hostlink/KeyRepeatMode.h"

using namespace hostlink;

namespace {

// The file and colour dialogs stand in for the system's own, and menus for
// the system's menu loop: on Windows each runs a loop of its own that the
// filter never sees.
bool OwnLoopActive(const KeyMessage& message) {
    if (QApplication::activePopupWidget() != nullptr) return true;
    // Alt's own release is what enters the menu bar (Qt may have moved the
    // focus there before this filter runs); it is still the window's key.
    const bool altRelease = (message.WParam & 0xFF) == VK_MENU &&
                            (message.Msg == WM_KEYUP || message.Msg == WM_SYSKEYUP);
    if (!altRelease && qobject_cast<const QMenuBar*>(QApplication::focusWidget()) != nullptr)
        return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return qobject_cast<const QFileDialog*>(modal) != nullptr ||
           qobject_cast<const QColorDialog*>(modal) != nullptr;
}

} // namespace

hostlink::KeyInput KeyInputFrom(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    KeyInput input;
    input.Press = event.type() == QEvent::KeyPress;
    input.AutoRepeat = event.isAutoRepeat();
    input.NativeScanCode = event.nativeScanCode();
    input.QtKey = event.key();
    input.Keypad = modifiers.testFlag(Qt::KeypadModifier);
    input.Shift = modifiers.testFlag(Qt::ShiftModifier);
    input.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    input.Alt = modifiers.testFlag(Qt::AltModifier);
    return input;
}

TKeyFilter::TKeyFilter(hostlink::Endpoint& endpoint, std::function<bool()> forwarding,
                       QObject* parent)
    : QObject(parent), endpoint_(endpoint), forwarding_(std::move(forwarding)) {
    RequestRepeatsWithoutReleases();
}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // Qt hands one key to the window, then to the focus widget and its
    // parents; the window's copy is the one taken from the queue.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        watched->isWindowType())
        AppMessage(static_cast<const QKeyEvent&>(*event));
    return false;
}

void TKeyFilter::AppMessage(const QKeyEvent& event) {
    // Every key goes through the translator, forwarded or not, so that it
    // knows which keys are down.
    const std::optional<KeyMessage> message = translator_.Translate(KeyInputFrom(event));
    if (!message) return;
    if (!forwarding_ || !forwarding_()) return;
    if (OwnLoopActive(*message)) return;
    if (!endpoint_.Find(HOST_CLASS_NAME)) return;
    endpoint_.Post({message->Msg, message->WParam, message->LParam, nullptr, 0});
}
