// The send rule on a fake clock: at once when idle, coalesced while
// changes come faster than the rate, kept alive when nothing changes.

#include "output/SendSchedule.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TTime = TSendSchedule::TTime;

// Runs the schedule as the scheduler thread does, on a fake clock, recording
// which "levels" (a counter) each packet carried.
struct TFakeLoop {
    TSendSchedule schedule{TSendSchedule::IntervalForRate(44), 1s};
    TFakeLoop() = default;
    explicit TFakeLoop(TSendSchedule s) : schedule(s) {}
    TTime now{};
    int latest = 0;
    std::vector<std::pair<TTime, int>> sent;

    void Change(int value) {
        latest = value;
        schedule.Offer(now);
        Step();
    }
    void Step() {
        if (schedule.Due(now)) {
            sent.emplace_back(now, latest);
            schedule.Sent(now);
        }
    }
    void AdvanceTo(TTime until) {
        // Wake exactly when the schedule asks, as the thread's poll timeout does.
        while (schedule.NextWake() <= until) {
            now = schedule.NextWake();
            Step();
        }
        now = until;
    }
};

TEST(SendSchedule, FirstChangeGoesAtOnce) {
    TFakeLoop loop;
    loop.now = TTime{} + 5s;
    loop.Change(1);
    ASSERT_EQ(loop.sent.size(), 1u);
    EXPECT_EQ(loop.sent[0].first, loop.now);
}

TEST(SendSchedule, NothingIsSentBeforeAnyLevels) {
    TSendSchedule schedule(10ms, 1s);
    EXPECT_FALSE(schedule.Due(TTime{} + 100s));
    EXPECT_EQ(schedule.NextWake(), TTime::max());
}

TEST(SendSchedule, ChangeAfterAnIdleSpellGoesAtOnce) {
    TFakeLoop loop;
    loop.Change(1);
    loop.AdvanceTo(loop.now + 300ms);
    loop.Change(2);
    ASSERT_EQ(loop.sent.size(), 2u);
    EXPECT_EQ(loop.sent[1].first - loop.sent[0].first, 300ms);
}

TEST(SendSchedule, FastDragIsCoalescedToTheRateAndTheLastLevelsWin) {
    TFakeLoop loop;
    // A drag: a new level every millisecond for two seconds.
    for (int i = 1; i <= 2000; ++i) {
        loop.AdvanceTo(loop.now + 1ms);
        loop.Change(i);
    }
    loop.AdvanceTo(loop.now + 100ms);
    // 44 per second over two seconds, plus the one sent at once at the start.
    EXPECT_LE(loop.sent.size(), 90u);
    EXPECT_GE(loop.sent.size(), 80u);
    EXPECT_EQ(loop.sent.back().second, 2000) << "the final levels must go out";
    for (std::size_t i = 1; i < loop.sent.size(); ++i)
        EXPECT_GE(loop.sent[i].first - loop.sent[i - 1].first, TSendSchedule::IntervalForRate(44));
}

TEST(SendSchedule, UnchangedLevelsAreResentEverySecond) {
    TFakeLoop loop;
    loop.Change(7);
    loop.AdvanceTo(loop.now + 10s + 500ms);
    ASSERT_EQ(loop.sent.size(), 11u);
    for (std::size_t i = 1; i < loop.sent.size(); ++i) {
        EXPECT_EQ(loop.sent[i].first - loop.sent[i - 1].first, 1s);
        EXPECT_EQ(loop.sent[i].second, 7);
    }
}

// The sACN way: a new value three times, at the rate, then one packet every
// 900 ms for as long as nothing changes.
TEST(SendSchedule, NewLevelsGoThreeTimesThenEveryNineHundredMilliseconds) {
    TFakeLoop loop(TSendSchedule(TSendSchedule::IntervalForRate(44), 900ms, 3));
    loop.now = TTime{} + 1s;
    loop.Change(7);
    loop.AdvanceTo(loop.now + 5s);
    ASSERT_GE(loop.sent.size(), 3u + 5u);
    const auto rate = TSendSchedule::IntervalForRate(44);
    EXPECT_EQ(loop.sent[1].first - loop.sent[0].first, rate);
    EXPECT_EQ(loop.sent[2].first - loop.sent[1].first, rate);
    for (std::size_t i = 3; i < loop.sent.size(); ++i)
        EXPECT_EQ(loop.sent[i].first - loop.sent[i - 1].first, 900ms) << "packet " << i;
    for (const auto& [when, value] : loop.sent)
        EXPECT_EQ(value, 7);
}

TEST(SendSchedule, AChangeAmongTheCopiesStartsThreeCopiesOfItsOwn) {
    TFakeLoop loop(TSendSchedule(10ms, 900ms, 3));
    loop.Change(1);
    loop.AdvanceTo(loop.now + 10ms); // the first copy of 1
    loop.Change(2);
    loop.AdvanceTo(loop.now + 100ms);
    std::vector<int> values;
    for (const auto& [when, value] : loop.sent)
        values.push_back(value);
    EXPECT_EQ(values, (std::vector<int>{1, 1, 2, 2, 2}));
}

TEST(SendSchedule, CopiesNeverWaitLongerThanTheKeepAlive) {
    // At one packet a second the copies would come later than a keep-alive.
    TFakeLoop loop(TSendSchedule(TSendSchedule::IntervalForRate(1), 900ms, 3));
    loop.Change(1);
    loop.AdvanceTo(loop.now + 3s);
    for (std::size_t i = 1; i < loop.sent.size(); ++i)
        EXPECT_LE(loop.sent[i].first - loop.sent[i - 1].first, 900ms);
}

TEST(SendSchedule, ConfiguredRateIsHonoured) {
    TSendSchedule::TDuration interval = TSendSchedule::IntervalForRate(10);
    EXPECT_EQ(interval, 100ms);
    EXPECT_EQ(TSendSchedule::IntervalForRate(0), 1s) << "clamped, never a division by zero";
    TSendSchedule schedule(interval, 1s);
    const TTime t0 = TTime{} + 1s;
    schedule.Offer(t0);
    ASSERT_TRUE(schedule.Due(t0));
    schedule.Sent(t0);
    schedule.Offer(t0 + 10ms);
    EXPECT_FALSE(schedule.Due(t0 + 99ms));
    EXPECT_TRUE(schedule.Due(t0 + 100ms));
    EXPECT_EQ(schedule.NextWake(), t0 + 100ms);
}

} // namespace
