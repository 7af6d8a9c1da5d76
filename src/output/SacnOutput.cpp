#include "output/SacnOutput.h"

#include "output/SacnGroups.h"

TSacnOutput::TSacnOutput(TSacnConfig config) : config_(std::move(config)) {
    destination_ = config_.unicast ? *config_.unicast : SacnMulticastGroup(config_.universe);
    // Discovery goes to its standard group only when the user chose multicast;
    // a unicast user gets it at their own address.
    discoveryDestination_ = config_.unicast ? *config_.unicast : SacnDiscoveryGroup();
}

bool TSacnOutput::Start() {
    const sacn::TSourceInfo info{config_.cid, config_.sourceName, config_.priority,
                                 config_.universe};
    sacn::BuildDataPacket(packet_, info);
    sacn::BuildDiscoveryPacket(discovery_, info);
    sentAny_ = false;
    lastDiscovery_.reset();
    if (!socket_.Open({destination_, discoveryDestination_}, error_)) {
        state_ = TOutputState::NoNetwork;
        return false;
    }
    state_ = TOutputState::Sending;
    return true;
}

void TSacnOutput::Stop() {
    if (!socket_.IsOpen()) return;
    // Receivers drop the source at once instead of holding the last look
    // for the data-loss timeout.
    if (sentAny_) {
        for (int i = 0; i < TERMINATION_PACKETS; ++i) {
            packet_[sacn::OFF_SEQUENCE] = ++sequence_;
            packet_[sacn::OFF_OPTIONS] = sacn::OPTION_STREAM_TERMINATED;
            socket_.SendTo(destination_, sacn::PORT, packet_);
        }
    }
    socket_.Close();
    state_ = TOutputState::Off;
}

bool TSacnOutput::Send(TLevelSpan levels) {
    if (!socket_.IsOpen() && !Start()) return false;
    sacn::SetFrame(packet_, ++sequence_, 0, levels);
    const TSendResult result = socket_.SendTo(destination_, sacn::PORT, packet_);
    Note(result);
    if (result == TSendResult::Sent) sentAny_ = true;
    return result == TSendResult::Sent;
}

void TSacnOutput::Service(std::chrono::steady_clock::time_point now) {
    if (!socket_.IsOpen() || !sentAny_) return;
    if (lastDiscovery_ && now - *lastDiscovery_ < DISCOVERY_INTERVAL) return;
    lastDiscovery_ = now;
    socket_.SendTo(discoveryDestination_, sacn::PORT, discovery_);
}

void TSacnOutput::Note(TSendResult result) {
    state_ = result == TSendResult::Sent ? TOutputState::Sending : TOutputState::NoNetwork;
}
