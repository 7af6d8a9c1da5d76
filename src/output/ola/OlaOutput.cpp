#include "output/ola/OlaOutput.h"

#include "output/TcpConnections.h"

#include <csignal>
#include <mutex>
#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>

namespace {
// A write to a daemon that has just gone away must fail, not end the desk.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}
} // namespace

TOlaOutput::TOlaOutput(TOlaConfig config)
    : config_(config), buffer_(std::make_unique<ola::DmxBuffer>()) {
    IgnoreBrokenPipes();
}

TOlaOutput::~TOlaOutput() {
    Stop();
}

bool TOlaOutput::Start() {
    lastAttempt_.reset();
    return Connect();
}

bool TOlaOutput::PreviousAttemptEnded() {
    if (lastPorts_.empty()) return true;
    const auto table = tcpconnections::ReadTable();
    // Where the system does not say, the retry interval alone paces attempts.
    if (!table || !tcpconnections::AnyUnended(*table, lastPorts_, config_.port)) {
        lastPorts_.clear();
        return true;
    }
    return false;
}

bool TOlaOutput::Connect() {
    const auto now = std::chrono::steady_clock::now();
    if (lastAttempt_ && now - *lastAttempt_ < RETRY_INTERVAL) return false;
    lastAttempt_ = now;
    // A daemon that is stopped, not gone, still takes connections but reads
    // nothing: each given-up one stays behind with its unsent levels. A new
    // one is made only once the last has ended.
    if (!PreviousAttemptEnded()) {
        state_ = TOutputState::DaemonNotReachable;
        return false;
    }
    ola::client::StreamingClient::Options options;
    options.auto_start = false; // the user runs olad; the desk never spawns it
    options.server_port = config_.port;
    auto client = std::make_unique<ola::client::StreamingClient>(options);
    // The attempt's connection is the one to the daemon's port that was not
    // there before it; kept whether the attempt works or not, as a failed
    // one may linger too.
    const auto before = tcpconnections::ReadTable();
    const bool connected = client->Setup();
    if (const auto after = tcpconnections::ReadTable(); before && after)
        lastPorts_ = tcpconnections::NewPorts(*before, *after, config_.port);
    if (!connected) {
        client_.reset();
        state_ = TOutputState::DaemonNotReachable;
        return false;
    }
    client_ = std::move(client);
    ++connections_;
    state_ = TOutputState::Sending;
    return true;
}

void TOlaOutput::Stop() {
    if (client_) client_->Stop();
    client_.reset();
    lastPorts_.clear();
    state_ = TOutputState::Off;
}

bool TOlaOutput::Send(TLevelSpan levels) {
    if (!client_ && !Connect()) return false;
    buffer_->Set(levels.data(), static_cast<unsigned>(levels.size()));
    if (client_->SendDmx(config_.universe, *buffer_)) {
        state_ = TOutputState::Sending;
        return true;
    }
    // The daemon went away; the next keep-alive reconnects and re-sends.
    client_.reset();
    state_ = TOutputState::DaemonNotReachable;
    return false;
}
