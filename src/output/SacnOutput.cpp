#include "output/SacnOutput.h"

TSacnOutput::TSacnOutput(TSacnConfig config) : m_config(std::move(config)) {
    m_destination = m_config.unicast ? *m_config.unicast : SacnMulticastGroup(m_config.universe);
    // Discovery goes to its standard group only when the user chose multicast;
    // a unicast user gets it at their own address.
    m_discoveryDestination = m_config.unicast ? *m_config.unicast : SacnDiscoveryGroup();
}

bool TSacnOutput::Start() {
    const sacn::TSourceInfo info{m_config.cid, m_config.sourceName, m_config.priority,
                                 m_config.universe};
    sacn::BuildDataPacket(m_packet, info);
    sacn::BuildDiscoveryPacket(m_discovery, info);
    m_sentAny = false;
    m_lastDiscovery.reset();
    if (!m_socket.Open({m_destination, m_discoveryDestination}, m_error)) {
        m_state = TOutputState::NoNetwork;
        return false;
    }
    m_state = TOutputState::Sending;
    return true;
}

void TSacnOutput::Stop() {
    if (!m_socket.IsOpen()) return;
    // Receivers drop the source at once instead of holding the last look
    // for the data-loss timeout.
    if (m_sentAny) {
        for (int i = 0; i < TERMINATION_PACKETS; ++i) {
            m_packet[sacn::OFF_SEQUENCE] = ++m_sequence;
            m_packet[sacn::OFF_OPTIONS] = sacn::OPTION_STREAM_TERMINATED;
            m_socket.SendTo(m_destination, sacn::PORT, m_packet);
        }
    }
    m_socket.Close();
    m_state = TOutputState::Off;
}

bool TSacnOutput::Send(TLevelSpan levels) {
    if (!m_socket.IsOpen() && !Start()) return false;
    sacn::SetFrame(m_packet, ++m_sequence, 0, levels);
    const TSendResult result = m_socket.SendTo(m_destination, sacn::PORT, m_packet);
    Note(result);
    if (result == TSendResult::Sent) m_sentAny = true;
    return result == TSendResult::Sent;
}

void TSacnOutput::Service(std::chrono::steady_clock::time_point now) {
    if (!m_socket.IsOpen() || !m_sentAny) return;
    if (m_lastDiscovery && now - *m_lastDiscovery < DISCOVERY_INTERVAL) return;
    m_lastDiscovery = now;
    m_socket.SendTo(m_discoveryDestination, sacn::PORT, m_discovery);
}

void TSacnOutput::Note(TSendResult result) {
    m_state = result == TSendResult::Sent ? TOutputState::Sending : TOutputState::NoNetwork;
}
