#pragma once
// sACN source for one universe, to its multicast group or to one unicast
// address the user gave.

#include "output/Output.h"
#include "output/SacnPacket.h"
#include "output/UdpSocket.h"

#include <atomic>
#include <optional>

struct TSacnConfig {
    sacn::TCid cid{};
    std::string sourceName = "Vantrelle";
    std::uint8_t priority = sacn::DEFAULT_PRIORITY;
    std::uint16_t universe = 1;
    std::optional<TIpv4Address> unicast; // none: the universe's multicast group
};

class TSacnOutput : public TOutput {
public:
    static constexpr int TERMINATION_PACKETS = 3;
    static constexpr std::chrono::seconds DISCOVERY_INTERVAL{10};

    explicit TSacnOutput(TSacnConfig config);
    bool Start() override;
    void Stop() override;
    bool Send(TLevelSpan levels) override;
    void Service(std::chrono::steady_clock::time_point now) override;
    TOutputState State() const override { return m_state.load(); }
    std::string Name() const override { return "sACN"; }
    TIpv4Address Destination() const { return m_destination; }
    const std::string& LastError() const { return m_error; }

private:
    void Note(TSendResult result);

    TSacnConfig m_config;
    TIpv4Address m_destination;
    TIpv4Address m_discoveryDestination;
    TUdpSocket m_socket;
    sacn::TDataPacket m_packet{};
    sacn::TDiscoveryPacket m_discovery{};
    std::uint8_t m_sequence = 0;
    bool m_sentAny = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastDiscovery;
    std::atomic<TOutputState> m_state{TOutputState::Off};
    std::string m_error;
};
