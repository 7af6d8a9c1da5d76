// The scheduler thread with a fake output: levels reach it off the caller's
// thread, the newest levels win, and a slow output never blocks Post.

#include "output/OutputScheduler.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TLevels = std::array<std::uint8_t, DMX_UNIVERSE_SIZE>;

struct TFakeRecord {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<TLevels> frames;
    std::thread::id sendThread;
    bool started = false;
    bool stopped = false;
    bool blockSends = false;
};

class TFakeOutput : public TOutput {
public:
    explicit TFakeOutput(TFakeRecord& record) : m_record(record) {}
    bool Start() override {
        std::lock_guard l(m_record.lock);
        m_record.started = true;
        return true;
    }
    void Stop() override {
        std::lock_guard l(m_record.lock);
        m_record.stopped = true;
    }
    bool Send(TLevelSpan levels) override {
        std::unique_lock l(m_record.lock);
        m_record.changed.wait(l, [&] { return !m_record.blockSends; });
        TLevels copy;
        std::copy(levels.begin(), levels.end(), copy.begin());
        m_record.frames.push_back(copy);
        m_record.sendThread = std::this_thread::get_id();
        m_record.changed.notify_all();
        return true;
    }
    TOutputState State() const override { return TOutputState::Sending; }
    std::string Name() const override { return "fake"; }

private:
    TFakeRecord& m_record;
};

TLevels Filled(std::uint8_t value) {
    TLevels levels;
    levels.fill(value);
    return levels;
}

// Waits for a condition on the record, with a generous deadline.
template <typename Pred>
bool WaitFor(TFakeRecord& record, Pred pred) {
    std::unique_lock l(record.lock);
    return record.changed.wait_for(l, 10s, [&] { return pred(record); });
}

TEST(OutputScheduler, LevelsReachTheOutputOnItsOwnThread) {
    TFakeRecord record;
    TOutputScheduler scheduler(std::make_unique<TFakeOutput>(record), {});
    scheduler.Start();
    const TLevels levels = Filled(42);
    scheduler.Post(TLevelSpan(levels));
    ASSERT_TRUE(WaitFor(record, [](auto& r) { return !r.frames.empty(); }));
    {
        std::lock_guard l(record.lock);
        EXPECT_TRUE(record.started);
        EXPECT_EQ(record.frames.front(), levels);
        EXPECT_NE(record.sendThread, std::this_thread::get_id());
    }
    scheduler.Stop();
    std::lock_guard l(record.lock);
    EXPECT_TRUE(record.stopped);
}

TEST(OutputScheduler, FastChangesAreCoalescedAndTheLastLevelsWin) {
    TFakeRecord record;
    TOutputScheduler scheduler(std::make_unique<TFakeOutput>(record), {});
    scheduler.Start();
    const auto start = std::chrono::steady_clock::now();
    constexpr int CHANGES = 20000;
    for (int i = 0; i < CHANGES; ++i) {
        TLevels levels{};
        levels[0] = static_cast<std::uint8_t>(i);
        levels[1] = static_cast<std::uint8_t>(i >> 8);
        scheduler.Post(TLevelSpan(levels));
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    TLevels last{};
    last[0] = static_cast<std::uint8_t>(CHANGES - 1);
    last[1] = static_cast<std::uint8_t>((CHANGES - 1) >> 8);
    ASSERT_TRUE(
        WaitFor(record, [&](auto& r) { return !r.frames.empty() && r.frames.back() == last; }));
    std::lock_guard l(record.lock);
    // Loose: the configured 44 per second over the drag, plus the first and the last.
    const double seconds = std::chrono::duration<double>(elapsed).count();
    EXPECT_LE(record.frames.size(), static_cast<std::size_t>(seconds * 44 * 1.5) + 3);
    EXPECT_LT(record.frames.size(), static_cast<std::size_t>(CHANGES));
}

TEST(OutputScheduler, PostDoesNotWaitForASlowOutput) {
    TFakeRecord record;
    record.blockSends = true;
    TOutputScheduler scheduler(std::make_unique<TFakeOutput>(record), {});
    scheduler.Start();
    const TLevels a = Filled(1);
    const TLevels b = Filled(2);
    scheduler.Post(TLevelSpan(a)); // the thread is now stuck in Send
    auto posting = std::async(std::launch::async, [&] {
        for (int i = 0; i < 100; ++i)
            scheduler.Post(TLevelSpan(b));
    });
    EXPECT_EQ(posting.wait_for(10s), std::future_status::ready);
    {
        std::lock_guard l(record.lock);
        record.blockSends = false;
    }
    record.changed.notify_all();
    ASSERT_TRUE(
        WaitFor(record, [&](auto& r) { return !r.frames.empty() && r.frames.back() == b; }));
    scheduler.Stop();
}

TEST(OutputScheduler, StateIsOffUntilStartedAndAfterStop) {
    TFakeRecord record;
    TOutputScheduler scheduler(std::make_unique<TFakeOutput>(record), {});
    EXPECT_EQ(scheduler.State(), TOutputState::Off);
    scheduler.Start();
    EXPECT_EQ(scheduler.State(), TOutputState::Sending);
    scheduler.Stop();
    EXPECT_EQ(scheduler.State(), TOutputState::Off);
    EXPECT_EQ(OutputStateText(TOutputState::DaemonNotReachable), "daemon not reachable");
    EXPECT_EQ(OutputStateText(TOutputState::NoNetwork), "no network");
}

} // namespace
