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
    int WaitFd() const override { return m_listener.IsOpen() ? m_listener.Fd() : -1; }
    TOutputState State() const override { return m_state.load(); }
    std::string Name() const override { return "Art-Net"; }
    bool Listening() const { return m_listener.IsOpen(); }
    int RepliesSent() const { return m_replies.load(); }

private:
    TArtNetConfig m_config;
    TUdpSocket m_socket;
    TUdpSocket m_listener;
    artnet::TDmxPacket m_packet{};
    artnet::TPollReplyPacket m_reply{};
    std::uint8_t m_sequence = 0;
    std::atomic<TOutputState> m_state{TOutputState::Off};
    std::atomic<int> m_replies{0};
    std::string m_error;
};
