#include "output/ArtNetOutput.h"

#include <array>

namespace {
bool IsLocal(TIpv4Address address) {
    return address.IsLoopback() ||
           TUdpSocket::LocalAddressTowards(address, artnet::PORT) == address.value;
}
} // namespace

TArtNetOutput::TArtNetOutput(TArtNetConfig config) : m_config(std::move(config)) {}

bool TArtNetOutput::Start() {
    artnet::BuildDmxPacket(m_packet, m_config.address);
    if (!m_socket.Open({m_config.destination}, m_error)) {
        m_state = TOutputState::NoNetwork;
        return false;
    }
    // A node on this machine owns the port and must keep receiving our
    // frames, so the desk listens only towards a remote destination; where
    // the port cannot be had the desk is simply not discoverable.
    if (m_config.listen && !IsLocal(m_config.destination)) {
        std::string ignored;
        if (!m_listener.Open({m_config.destination}, ignored) ||
            !m_listener.Bind(artnet::PORT, ignored))
            m_listener.Close();
    }
    m_state = TOutputState::Sending;
    return true;
}

void TArtNetOutput::Stop() {
    m_socket.Close();
    m_listener.Close();
    m_state = TOutputState::Off;
}

bool TArtNetOutput::Send(TLevelSpan levels) {
    if (!m_socket.IsOpen() && !Start()) return false;
    // 0 means "no sequencing" to a receiver, so the count skips it.
    m_sequence = static_cast<std::uint8_t>(m_sequence == 255 ? 1 : m_sequence + 1);
    artnet::SetDmxFrame(m_packet, m_sequence, levels);
    const TSendResult result = m_socket.SendTo(m_config.destination, artnet::PORT, m_packet);
    m_state = result == TSendResult::Sent ? TOutputState::Sending : TOutputState::NoNetwork;
    return result == TSendResult::Sent;
}

void TArtNetOutput::Service(std::chrono::steady_clock::time_point) {
    if (!m_listener.IsOpen()) return;
    std::array<std::uint8_t, MAX_DATAGRAM> buffer{};
    TIpv4Address from;
    std::uint16_t port = 0;
    // Bounded: a flood of polls cannot keep the scheduler from its frames.
    for (int i = 0; i < 16; ++i) {
        const std::size_t n = m_listener.Receive(buffer, from, port);
        if (n == 0) return;
        const auto poll = artnet::ParseArtPoll(std::span(buffer.data(), n));
        if (!poll || !poll->Covers(m_config.address.Value())) continue;
        artnet::TPollReplyInfo info;
        info.ip = TUdpSocket::LocalAddressTowards(m_config.destination, artnet::PORT);
        info.address = m_config.address;
        info.shortName = m_config.shortName;
        info.longName = m_config.longName;
        info.nodeReport = "#0001 [0000] Vantrelle sending";
        info.sending = m_state.load() == TOutputState::Sending;
        artnet::BuildPollReply(m_reply, info);
        if (m_listener.SendTo(m_config.destination, artnet::PORT, m_reply) == TSendResult::Sent)
            ++m_replies;
    }
}
