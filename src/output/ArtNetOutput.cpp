#include "output/ArtNetOutput.h"

#include <array>
#include <sys/epoll.h>
#include <unistd.h>

TArtNetOutput::TArtNetOutput(TArtNetConfig config) : config_(std::move(config)) {}

TArtNetOutput::~TArtNetOutput() {
    StopListening();
}

bool TArtNetOutput::Listening() const {
    return listeners_[0].IsOpen() || listeners_[1].IsOpen();
}

void TArtNetOutput::Listen() {
    StopListening();
    // Loopback has no broadcast, and so no poll to answer.
    if (config_.destination.IsLoopback()) return;
    const std::uint32_t local = TUdpSocket::LocalAddressTowards(config_.destination, artnet::PORT);
    if (local == 0) return;
    const std::array<std::uint32_t, 2> addresses = {
        TUdpSocket::BroadcastAddressOf(TIpv4Address{local}), 0xFFFFFFFFu};
    listenSet_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (listenSet_ < 0) return;
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        if (addresses[i] == 0 || addresses[i] == local) continue;
        std::string ignored;
        // Where a broadcast address cannot be had the desk is simply not
        // discoverable there; frames still go.
        if (!listeners_[i].Open({}, ignored) ||
            !listeners_[i].Bind(TIpv4Address{addresses[i]}, artnet::PORT, ignored)) {
            listeners_[i].Close();
            continue;
        }
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u32 = static_cast<std::uint32_t>(i);
        if (::epoll_ctl(listenSet_, EPOLL_CTL_ADD, listeners_[i].Fd(), &event) != 0)
            listeners_[i].Close();
    }
    if (!Listening()) StopListening();
}

void TArtNetOutput::StopListening() {
    for (auto& listener : listeners_)
        listener.Close();
    if (listenSet_ >= 0) ::close(listenSet_);
    listenSet_ = -1;
}

bool TArtNetOutput::Start() {
    artnet::BuildDmxPacket(packet_, config_.address);
    if (!socket_.Open({config_.destination}, error_)) {
        state_ = TOutputState::NoNetwork;
        return false;
    }
    if (config_.listen) Listen();
    state_ = TOutputState::Sending;
    return true;
}

void TArtNetOutput::Stop() {
    socket_.Close();
    StopListening();
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
    // Bounded: a flood of polls cannot keep the scheduler from its frames.
    for (auto& listener : listeners_)
        if (listener.IsOpen()) Answer(listener, 16);
}

void TArtNetOutput::Answer(TUdpSocket& listener, int budget) {
    std::array<std::uint8_t, MAX_DATAGRAM> buffer{};
    TIpv4Address from;
    std::uint16_t port = 0;
    for (int i = 0; i < budget; ++i) {
        const std::size_t n = listener.Receive(buffer, from, port);
        if (n == 0) return;
        const auto poll = artnet::ParseArtPoll(std::span(buffer.data(), n));
        if (!poll || !poll->Covers(config_.address.Value())) continue;
        artnet::TPollReplyInfo info;
        info.ip = TUdpSocket::LocalAddressTowards(from, artnet::PORT);
        info.address = config_.address;
        info.shortName = config_.shortName;
        info.longName = config_.longName;
        info.nodeReport = "#0001 [0000] Vantrelle sending";
        info.sending = state_.load() == TOutputState::Sending;
        artnet::BuildPollReply(reply_, info);
        // The reply goes to the poller itself, at the Art-Net port.
        if (socket_.ReplyTo(from, artnet::PORT, reply_) == TSendResult::Sent) ++replies_;
    }
}
