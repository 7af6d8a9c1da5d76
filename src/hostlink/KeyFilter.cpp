#include "hostlink/KeyFilter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QKeyEvent>

#include "hostlink/KeyMessages.h"

namespace hostlink {
namespace {

// The file and colour dialogs stand in for the system's own, which run a
// loop of their own that the filter never sees.
bool SystemDialogActive() {
    const QWidget* modal = QApplication::activeModalWidget();
    return qobject_cast<const QFileDialog*>(modal) != nullptr ||
           qobject_cast<const QColorDialog*>(modal) != nullptr;
}

} // namespace

std::optional<ForwardedKey> KeyMessageFor(const QKeyEvent& event) {
    std::optional<VirtualKey> key = VirtualKeyFromNative(event.nativeScanCode());
    if (!key) key = VirtualKeyFromQt(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
    if (!key) return std::nullopt;
    KeyState state;
    state.Press = event.type() == QEvent::KeyPress;
    state.AutoRepeat = event.isAutoRepeat();
    state.AltHeld = event.modifiers().testFlag(Qt::AltModifier);
    return ForwardedKey{KeyMessageNumber(*key, state), key->Code, KeyLParam(*key, state)};
}

TKeyFilter::TKeyFilter(Endpoint& endpoint, std::function<bool()> forwarding, QObject* parent)
    : QObject(parent), endpoint_(endpoint), forwarding_(std::move(forwarding)) {}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // Qt hands one key to the window, then to the focus widget and its
    // parents; the window's copy is the one taken from the queue.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        watched->isWindowType())
        AppMessage(static_cast<const QKeyEvent&>(*event));
    return false;
}

void TKeyFilter::AppMessage(const QKeyEvent& event) {
    if (!forwarding_ || !forwarding_()) return;
    if (SystemDialogActive()) return;
    const std::optional<ForwardedKey> key = KeyMessageFor(event);
    if (!key) return;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::AltModifier)) return;
    if (key->WParam == VK_SCROLL) return;
    if (!endpoint_.Find(HOST_CLASS_NAME)) return;
    const std::uint32_t wParam = ForwardedWParam(key->WParam, modifiers.testFlag(Qt::ShiftModifier),
                                                 modifiers.testFlag(Qt::ControlModifier));
    endpoint_.Post({key->Msg, wParam, key->LParam, nullptr, 0});
}

} // namespace hostlink
