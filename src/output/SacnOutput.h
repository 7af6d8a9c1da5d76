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
    // Receivers may miss one packet; new levels go three times before the
    // stream slows to its keep-alive.
    static constexpr int COPIES_OF_NEW_LEVELS = 3;

    explicit TSacnOutput(TSacnConfig config);
    bool Start() override;
    void Stop() override;
    bool Send(TLevelSpan levels) override;
    void Service(std::chrono::steady_clock::time_point now) override;
    int CopiesOfNewLevels() const override { return COPIES_OF_NEW_LEVELS; }
    TOutputState State() const override { return state_.load(); }
    std::string Name() const override { return "sACN"; }
    TIpv4Address Destination() const { return destination_; }
    const std::string& LastError() const { return error_; }

private:
    void Note(TSendResult result);

    TSacnConfig config_;
    TIpv4Address destination_;
    TIpv4Address discoveryDestination_;
    TUdpSocket socket_;
    sacn::TDataPacket packet_{};
    sacn::TDiscoveryPacket discovery_{};
    std::uint8_t sequence_ = 0;
    bool sentAny_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastDiscovery_;
    std::atomic<TOutputState> state_{TOutputState::Off};
    std::string error_;
};
