#pragma once
// Follows the model's levels out of the desk: every announced change of
// levels becomes one frame handed to the host (while the host link is on)
// and a copy in each network output's mailbox, zeros there while the
// blackout is on.

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

private:
    const TDeskModel& model_;
    hostlink::Endpoint& endpoint_;
    TOutputSet& outputs_;
    bool hostLinkOn_ = true;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer_{};
};
