#include "output/ArtNetOutput.h"

#include <array>

namespace {
bool IsLocal(TIpv4Address address) {
    return address.IsLoopback() ||
           TUdpSocket::LocalAddressTowards(address, artnet::PORT) == address.value;
}
} // namespace

TArtNetOutput::TArtNetOutput(TArtNetConfig config) : config_(std::move(config)) {}

bool TArtNetOutput::Start() {
    artnet::BuildDmxPacket(packet_, config_.address);
    if (!socket_.Open({config_.destination}, error_)) {
        state_ = TOutputState::NoNetwork;
        return false;
    }
    // A node on this machine owns the port and must keep receiving our
    // frames, so the desk listens only towards a remote destination; where
    // the port cannot be had the desk is simply not discoverable.
    if (config_.listen && !IsLocal(config_.destination)) {
        std::string ignored;
        if (!listener_.Open({config_.destination}, ignored) ||
            !listener_.Bind(artnet::PORT, ignored))
            listener_.Close();
    }
    state_ = TOutputState::Sending;
    return true;
}

void TArtNetOutput::Stop() {
    socket_.Close();
    listener_.Close();
    state_ = TOutputState::Off;
}

bool TArtNetOutput::Send(TLevelSpan levels) {
    if (!socket_.IsOpen() && !Start()) return false;
    // 0 means "no sequencing" to a receiver, so the count skips it.
    sequence_ = static_cast<std::uint8_t>(sequence_ == 255 ? 1 : sequence_ + 1);
    artnet::SetDmxFrame(packet_, sequence_, levels);
    const TSendResult result = socket_.SendTo(config_.destination, artnet::PORT, packet_);
    state_ = result == TSendResult::Sent ? TOutputState::Sending : TOutputState::NoNetwork;
    return result == TSendResult::Sent;
}

void TArtNetOutput::Service(std::chrono::steady_clock::time_point) {
    if (!listener_.IsOpen()) return;
    std::array<std::uint8_t, MAX_DATAGRAM> buffer{};
    TIpv4Address from;
    std::uint16_t port = 0;
    // Bounded: a flood of polls cannot keep the scheduler from its frames.
    for (int i = 0; i < 16; ++i) {
        const std::size_t n = listener_.Receive(buffer, from, port);
        if (n == 0) return;
        const auto poll = artnet::ParseArtPoll(std::span(buffer.data(), n));
        if (!poll || !poll->Covers(config_.address.Value())) continue;
        artnet::TPollReplyInfo info;
        info.ip = TUdpSocket::LocalAddressTowards(config_.destination, artnet::PORT);
        info.address = config_.address;
        info.shortName = config_.shortName;
        info.longName = config_.longName;
        info.nodeReport = "#0001 [0000] Vantrelle sending";
        info.sending = state_.load() == TOutputState::Sending;
        artnet::BuildPollReply(reply_, info);
        if (listener_.SendTo(config_.destination, artnet::PORT, reply_) == TSendResult::Sent)
            ++replies_;
    }
}
