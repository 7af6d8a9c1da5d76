#include "app/FrameSender.h"

#include <QTimer>

#include "hostlink/DmxFrame.h"
#include "model/DeskModel.h"
#include "output/OutputSet.h"

TFrameSender::TFrameSender(const TDeskModel& model, hostlink::Endpoint& endpoint,
                           TOutputSet& outputs, QObject* parent)
    : QObject(parent), model_(model), endpoint_(endpoint), outputs_(outputs) {
    auto* refresh = new QTimer(this);
    refresh->setInterval(REFRESH_MS);
    connect(refresh, &QTimer::timeout, this, [this] {
        if (hostLinkOn_) endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    });
    refresh->start();
}

void TFrameSender::Follow(const TDeskChange& change) {
    if (change.Has(TDeskChange::Blackout)) PostToOutputs();
    if (!change.Has(TDeskChange::Levels)) return;
    if (hostLinkOn_) hostlink::TransmitDmxFrame(endpoint_, model_.Table().Level, buffer_);
    PostToOutputs();
}

void TFrameSender::PostToOutputs() {
    // A copy into each output's mailbox; the sending happens on their threads.
    // The host keeps its frames in a blackout: it has a master of its own.
    static constexpr TDmxLevels kDark{};
    outputs_.Post(TLevelSpan(model_.Blackout() ? kDark : model_.Table().Level));
}
