#pragma once
// Art-Net 4 controller for one port address: ArtDmx to the one address the
// user gave, and an ArtPollReply to each poller that asks. It listens only on
// the broadcast addresses a poll comes to, so unicast meant for a node on
// this machine is never taken from it.

#include "output/ArtNetPacket.h"
#include "output/Output.h"
#include "output/UdpSocket.h"

#include <array>
#include <atomic>

struct TArtNetConfig {
    artnet::TPortAddress address;
    TIpv4Address destination;
    bool listen = true; // answer ArtPoll
    std::string shortName = "Vantrelle";
    std::string longName = "Vantrelle DMX fader desk";
};

class TArtNetOutput : public TOutput {
public:
    static constexpr std::size_t MAX_DATAGRAM = 1024;

    explicit TArtNetOutput(TArtNetConfig config);
    ~TArtNetOutput() override;
    TArtNetOutput(const TArtNetOutput&) = delete;
    TArtNetOutput& operator=(const TArtNetOutput&) = delete;
    bool Start() override;
    void Stop() override;
    bool Send(TLevelSpan levels) override;
    void Service(std::chrono::steady_clock::time_point now) override;
    // One descriptor for every listener, readable when any of them is.
    int WaitFd() const override { return Listening() ? listenSet_ : -1; }
    TOutputState State() const override { return state_.load(); }
    std::string Name() const override { return "Art-Net"; }
    bool Listening() const;
    int RepliesSent() const { return replies_.load(); }

private:
    void Listen();
    void StopListening();
    void Answer(TUdpSocket& listener, int budget);

    TArtNetConfig config_;
    TUdpSocket socket_;
    // The directed broadcast of the interface towards the destination, and
    // the limited broadcast.
    std::array<TUdpSocket, 2> listeners_;
    int listenSet_ = -1;
    artnet::TDmxPacket packet_{};
    artnet::TPollReplyPacket reply_{};
    std::uint8_t sequence_ = 0;
    std::atomic<TOutputState> state_{TOutputState::Off};
    std::atomic<int> replies_{0};
    std::string error_;
};
