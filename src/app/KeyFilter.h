#pragma once
// The application-wide key filter: while forwarding is on, every key press
// and release the program takes is also posted to the host, as a Windows
// program would have received it. The program still handles the key itself.
// It also makes the repeats of a held Shift or Ctrl that the window system
// does not, and keeps the menu bar from holding the keyboard once its loop
// has ended.

#include <functional>

#include <QObject>
#include <QTimer>

#include "hostlink/Endpoint.h"
#include "hostlink/KeyMessages.h"

class QKeyEvent;

// The toolkit's key event in the translator's terms.
hostlink::KeyInput KeyInputFrom(const QKeyEvent& event);

class TKeyFilter : public QObject {
    Q_OBJECT
public:
    // `forwarding` answers whether keys go to the host now (the preference
    // and the gate of the dialogs that suspend it).
    TKeyFilter(hostlink::Endpoint& endpoint, std::function<bool()> forwarding,
               QObject* parent = nullptr);

    // Never consumes the event.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The wait before a held modifier's first repeat and between the next
    // ones; the keyboard's own setting unless changed.
    void SetModifierRepeat(int delayMs, int intervalMs);

private:
    void AppMessage(const QKeyEvent& event);
    void Forward(const hostlink::KeyMessage& message);
    void RepeatModifier();

    hostlink::Endpoint& endpoint_;
    std::function<bool()> forwarding_;
    hostlink::KeyTranslator translator_;
    QTimer modifierRepeat_;
    int repeatDelayMs_ = 500;
    int repeatIntervalMs_ = 33;
};
