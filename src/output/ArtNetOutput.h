#pragma once
// Art-Net 4 controller for one port address: ArtDmx to the one address the
// user gave, and ArtPollReply to the same address when a poll arrives.

#include "output/ArtNetPacket.h"
#include "output/Output.h"
#include "output/UdpSocket.h"

#include <atomic>

struct TArtNetConfig {
    artnet::TPortAddress address;
    TIpv4Address destination;
    bool listen = true;
    std::string shortName = "Vantrelle";
    std::string longName = "Vantrelle DMX fader desk";
};

class TArtNetOutput : public TOutput {
public:
    static constexpr std::size_t MAX_DATAGRAM = 1024;

    explicit TArtNetOutput(TArtNetConfig config);
    bool Start() override;
    void Stop() override;
    bool Send(TLevelSpan levels) override;
    void Service(std::chrono::steady_clock::time_point now) override;
    int WaitFd() const override { return listener_.IsOpen() ? listener_.Fd() : -1; }
    TOutputState State() const override { return state_.load(); }
    std::string Name() const override { return "Art-Net"; }
    bool Listening() const { return listener_.IsOpen(); }
    int RepliesSent() const { return replies_.load(); }

private:
    TArtNetConfig config_;
    TUdpSocket socket_;
    TUdpSocket listener_;
    artnet::TDmxPacket packet_{};
    artnet::TPollReplyPacket reply_{};
    std::uint8_t sequence_ = 0;
    std::atomic<TOutputState> state_{TOutputState::Off};
    std::atomic<int> replies_{0};
    std::string error_;
};
