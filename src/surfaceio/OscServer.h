#pragma once
// OSC over UDP: a socket bound to the chosen address (127.0.0.1 unless the
// user chose another), read on a thread of its own. Each datagram is
// decoded through liblo and checked; what the desk accepts goes into the
// mailbox, anything else is dropped and counted. Feedback leaves from the
// same socket to every client that spoke to the desk and to one configured
// address, except that a client is not told back an address it is moving
// (what it sent there in the last moments).

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>

#include "surfaces/InputMailbox.h"
#include "surfaces/OscCommand.h"

inline constexpr std::size_t MAX_OSC_DATAGRAM = 8192;
inline constexpr std::size_t MAX_OSC_CLIENTS = 16;

class TOscServer {
public:
    explicit TOscServer(TInputMailbox& mailbox) : mailbox_(mailbox) {}
    ~TOscServer();

    // Empty when listening; else why not, in words.
    std::string Start(const std::string& address, int port, const std::string& feedback);
    void Stop();
    // Any thread.
    void Send(const TOscFeedback& feedback);

    long long Accepted() const { return accepted_.load(); }
    long long Dropped() const { return dropped_.load(); }
    int Port() const { return port_; }

    // One datagram as it came: what it asked, each accepted message posted.
    // Returns how many messages were accepted; `dropped` counts the refused.
    // `accepted`, when given, takes the address of each accepted message.
    static int Decode(const std::uint8_t* data, std::size_t size, TInputMailbox& mailbox,
                      long long& dropped, std::vector<std::string>* accepted = nullptr,
                      int depth = 0);
    static constexpr int ECHO_HOLD_MS = 300;

private:
    void Receive();
    void Remember(const sockaddr_in& client, const std::vector<std::string>& paths);

    TInputMailbox& mailbox_;
    int socket_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex clientsMutex_;
    std::vector<sockaddr_in> clients_;
    struct TMover {
        sockaddr_in Client;
        std::chrono::steady_clock::time_point At;
    };
    std::map<std::string, TMover> movers_; // by address: who sent it last, when
    bool hasFeedback_ = false;
    sockaddr_in feedback_{};
    std::atomic<long long> accepted_{0};
    std::atomic<long long> dropped_{0};
};
