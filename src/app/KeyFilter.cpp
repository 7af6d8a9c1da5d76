#include "app/KeyFilter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>

#include "hostlink/KeyRepeatMode.h"

using namespace hostlink;

namespace {

// The menu bar runs its loop while one of its items is highlighted. Once the
// loop ends Qt may leave it holding the focus (when no other widget had it),
// which Windows never does: it then neither forwards keys nor may take a
// letter as the start of a menu.
QMenuBar* MenuBarWithFocus() {
    return qobject_cast<QMenuBar*>(QApplication::focusWidget());
}

bool MenuBarLoopActive() {
    const QMenuBar* bar = MenuBarWithFocus();
    return bar != nullptr && bar->activeAction() != nullptr;
}

void ReleaseStaleMenuBarFocus() {
    if (QMenuBar* bar = MenuBarWithFocus(); bar != nullptr && bar->activeAction() == nullptr)
        bar->clearFocus();
}

// A click in the window outside the menu bar ends the bar's loop, as on
// Windows: the bar gives up its highlighted item and the keyboard.
void EndMenuBarLoopOnClick(const QMouseEvent& click) {
    QMenuBar* bar = MenuBarWithFocus();
    if (bar == nullptr || QApplication::activePopupWidget() != nullptr) return;
    if (bar->rect().contains(bar->mapFromGlobal(click.globalPosition().toPoint()))) return;
    bar->clearFocus();
}

// The file and colour dialogs stand in for the system's own, and menus for
// the system's menu loop: on Windows each runs a loop of its own that the
// filter never sees.
bool OwnLoopActive(const KeyMessage& message) {
    if (QApplication::activePopupWidget() != nullptr) return true;
    // Alt's own release is what enters the menu bar (Qt may have moved the
    // focus there before this filter runs); it is still the window's key.
    const bool altRelease = (message.WParam & 0xFF) == VK_MENU &&
                            (message.Msg == WM_KEYUP || message.Msg == WM_SYSKEYUP);
    if (!altRelease && MenuBarLoopActive()) return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return qobject_cast<const QFileDialog*>(modal) != nullptr ||
           qobject_cast<const QColorDialog*>(modal) != nullptr;
}

bool IsFreshModifierPress(const KeyMessage& message) {
    const std::uint32_t code = message.WParam & 0xFF;
    return message.Msg == WM_KEYDOWN && (code == VK_SHIFT || code == VK_CONTROL) &&
           (message.LParam & (1u << 30)) == 0;
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
    const KeyboardRepeat timing = KeyboardRepeatTiming();
    SetModifierRepeat(timing.DelayMs, timing.IntervalMs);
    modifierRepeat_.setSingleShot(true);
    connect(&modifierRepeat_, &QTimer::timeout, this, &TKeyFilter::RepeatModifier);
}

void TKeyFilter::SetModifierRepeat(int delayMs, int intervalMs) {
    repeatDelayMs_ = delayMs;
    repeatIntervalMs_ = intervalMs;
}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Qt hands one key to the window, then to the focus widget and its
        // parents; the window's copy is the one taken from the queue. The
        // focus widget is chosen after this, so a menu bar whose loop has
        // ended gives the key back to the window here.
        if (watched->isWindowType()) {
            ReleaseStaleMenuBarFocus();
            AppMessage(static_cast<const QKeyEvent&>(*event));
        }
        break;
    case QEvent::MouseButtonPress:
        // A click in the window gives the keyboard back to the desk.
        if (watched->isWindowType()) EndMenuBarLoopOnClick(static_cast<const QMouseEvent&>(*event));
        break;
    case QEvent::ApplicationDeactivate:
        // The modifier's release goes to another program.
        modifierRepeat_.stop();
        break;
    default:
        break;
    }
    return false;
}

void TKeyFilter::AppMessage(const QKeyEvent& event) {
    // Every key goes through the translator, forwarded or not, so that it
    // knows which keys are down.
    const std::optional<KeyMessage> message = translator_.Translate(KeyInputFrom(event));
    // Windows repeats only the key pressed last, and nothing once it is up.
    if (message && IsFreshModifierPress(*message))
        modifierRepeat_.start(repeatDelayMs_);
    else if (!translator_.ModifierRepeat())
        modifierRepeat_.stop();
    if (message) Forward(*message);
}

void TKeyFilter::Forward(const KeyMessage& message) {
    if (!forwarding_ || !forwarding_()) return;
    if (OwnLoopActive(message)) return;
    if (!endpoint_.Find(HOST_CLASS_NAME)) return;
    endpoint_.Post({message.Msg, message.WParam, message.LParam, nullptr, 0});
}

void TKeyFilter::RepeatModifier() {
    const std::optional<KeyMessage> repeat = translator_.ModifierRepeat();
    if (!repeat) return;
    Forward(*repeat);
    modifierRepeat_.start(repeatIntervalMs_);
}
