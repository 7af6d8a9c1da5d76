#pragma once
// Follows the model's levels out of the desk: every announced change of
// levels becomes one frame handed to the host (while the host link is on)
// and a copy in each network output's mailbox, zeros there while the
// blackout is on. While the host link is on it also looks at the host a few
// times a second, so that the window's indicator stays true and a host that
// (re)starts gets the current levels.

#include <array>
#include <cstdint>

#include <QObject>

#include "core/DmxConstants.h"

namespace hostlink {
class Endpoint;
}
class TDeskModel;
class TOutputSet;
struct TDeskChange;

class TFrameSender : public QObject {
    Q_OBJECT
public:
    TFrameSender(const TDeskModel& model, hostlink::Endpoint& endpoint, TOutputSet& outputs,
                 QObject* parent = nullptr);

    void SetHostLinkOn(bool on) { hostLinkOn_ = on; }
    void Follow(const TDeskChange& change);
    // The levels as the network outputs get them now.
    void PostToOutputs();

    // How often the host is looked at between frames.
    static constexpr int REFRESH_MS = 250;

private:
    const TDeskModel& model_;
    hostlink::Endpoint& endpoint_;
    TOutputSet& outputs_;
    bool hostLinkOn_ = true;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer_{};
};
