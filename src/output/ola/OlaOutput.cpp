#include "output/ola/OlaOutput.h"

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
    : m_config(config), m_buffer(std::make_unique<ola::DmxBuffer>()) {
    IgnoreBrokenPipes();
}

TOlaOutput::~TOlaOutput() {
    Stop();
}

bool TOlaOutput::Start() {
    m_lastAttempt.reset();
    return Connect();
}

bool TOlaOutput::Connect() {
    const auto now = std::chrono::steady_clock::now();
    if (m_lastAttempt && now - *m_lastAttempt < RETRY_INTERVAL) return false;
    m_lastAttempt = now;
    ola::client::StreamingClient::Options options;
    options.auto_start = false; // the user runs olad; the desk never spawns it
    options.server_port = m_config.port;
    auto client = std::make_unique<ola::client::StreamingClient>(options);
    if (!client->Setup()) {
        m_client.reset();
        m_state = TOutputState::DaemonNotReachable;
        return false;
    }
    m_client = std::move(client);
    ++m_connections;
    m_state = TOutputState::Sending;
    return true;
}

void TOlaOutput::Stop() {
    if (m_client) m_client->Stop();
    m_client.reset();
    m_state = TOutputState::Off;
}

bool TOlaOutput::Send(TLevelSpan levels) {
    if (!m_client && !Connect()) return false;
    m_buffer->Set(levels.data(), static_cast<unsigned>(levels.size()));
    if (m_client->SendDmx(m_config.universe, *m_buffer)) {
        m_state = TOutputState::Sending;
        return true;
    }
    // The daemon went away; the next keep-alive reconnects and re-sends.
    m_client.reset();
    m_state = TOutputState::DaemonNotReachable;
    return false;
}
