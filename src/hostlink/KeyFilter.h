#pragma once
// The application-wide key filter: while forwarding is on, every key press
// and release the program takes is also posted to the host, with Shift or
// Ctrl folded into the key code. The program still handles the key itself.

#include <functional>

#include <QObject>

#include "hostlink/Endpoint.h"

class QKeyEvent;

namespace hostlink {

struct ForwardedKey {
    std::uint32_t Msg = 0;
    std::uint32_t WParam = 0;
    std::uint64_t LParam = 0;
};

// What the filter would post for this event, before the Alt, Scroll Lock and
// host checks; nothing for keys without a virtual-key code.
std::optional<ForwardedKey> KeyMessageFor(const QKeyEvent& event);

class TKeyFilter : public QObject {
    Q_OBJECT
public:
    // `forwarding` answers whether keys go to the host now (the preference
    // and the gate of the dialogs that suspend it).
    TKeyFilter(Endpoint& endpoint, std::function<bool()> forwarding, QObject* parent = nullptr);

    // Never consumes the event.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AppMessage(const QKeyEvent& event);

    Endpoint& endpoint_;
    std::function<bool()> forwarding_;
};

} // namespace hostlink
