#pragma once
// Levels to one universe of a running olad through its client library. The
// client lives on the scheduler's thread only; a lost daemon is retried at
// most once a second, only once the last connection has ended, and never
// waited for.

#include "output/OlaConfig.h"
#include "output/Output.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace ola {
class DmxBuffer;
namespace client {
class StreamingClient;
}
} // namespace ola

class TOlaOutput : public TOutput {
public:
    static constexpr std::chrono::seconds RETRY_INTERVAL{1};

    explicit TOlaOutput(TOlaConfig config);
    ~TOlaOutput() override;
    bool Start() override;
    void Stop() override;
    bool Send(TLevelSpan levels) override;
    TOutputState State() const override { return state_.load(); }
    std::string Name() const override { return "OLA"; }
    int Connections() const { return connections_.load(); }

private:
    bool Connect();
    bool PreviousAttemptEnded();

    TOlaConfig config_;
    std::unique_ptr<ola::client::StreamingClient> client_;
    std::unique_ptr<ola::DmxBuffer> buffer_;
    std::optional<std::chrono::steady_clock::time_point> lastAttempt_;
    std::atomic<TOutputState> state_{TOutputState::Off};
    std::atomic<int> connections_{0};
    // The local ports of the last connection made, until it has ended.
    std::vector<std::uint16_t> lastPorts_;
};
