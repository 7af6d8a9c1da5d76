// Fades over a clock the test turns: linear, monotonic, exact at the end, at
// most 44 frames a second, and taken apart by a person's hand.

#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "safety/FadePlayer.h"

namespace {

using TLevelArray = std::array<std::uint8_t, DMX_UNIVERSE_SIZE>;

TEST(FadeArithmetic, RunsLinearlyFromStartToTargetAndRoundsToTheNearestLevel) {
    EXPECT_EQ(TFade::LevelAt(0, 255, 0, 2000), 0);
    EXPECT_EQ(TFade::LevelAt(0, 255, 1000, 2000), 128); // 127.5 rounds away from the start
    EXPECT_EQ(TFade::LevelAt(255, 0, 1000, 2000), 127);
    EXPECT_EQ(TFade::LevelAt(0, 255, 2000, 2000), 255);
    EXPECT_EQ(TFade::LevelAt(0, 255, 99999, 2000), 255);
    EXPECT_EQ(TFade::LevelAt(40, 41, 1, 60000), 40);
    EXPECT_EQ(TFade::LevelAt(10, 200, 5, 0), 200) << "no time: at the target at once";
}

TEST(FadeArithmetic, NeverStepsBackOverALongFade) {
    for (const auto& [from, to] : {std::pair{0, 255}, {255, 0}, {17, 18}, {200, 3}}) {
        int last = from;
        for (std::int64_t t = 0; t <= 60000; t += 7) {
            const int level = TFade::LevelAt(from, to, t, 60000);
            EXPECT_TRUE(to > from ? level >= last : level <= last)
                << from << "->" << to << " at " << t;
            last = level;
        }
        EXPECT_EQ(last, to);
    }
}

TEST(FadeChannels, OnlyChangedChannelsFadeAndEachLeavesAtItsTarget) {
    TLevelArray from{}, to{};
    from[0] = 10;
    to[0] = 10; // unchanged: not in the fade
    to[1] = 100;
    from[2] = 255;
    TFade fade;
    fade.Start(from, to, 1000, 5000);
    EXPECT_EQ(fade.ChannelsRunning(), 2);
    EXPECT_FALSE(fade.Fading(1));
    std::vector<TChannelLevel> due;
    fade.Step(5500, due);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].Channel, 2);
    EXPECT_EQ(due[0].Level, 50);
    EXPECT_EQ(due[1].Level, 127);
    fade.Step(5500, due);
    EXPECT_TRUE(due.empty()) << "nothing new, nothing due";
    fade.Drop(2);
    fade.Step(6000, due);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].Channel, 3);
    EXPECT_EQ(due[0].Level, 0);
    EXPECT_FALSE(fade.Running());
    EXPECT_THROW(fade.Drop(513), std::out_of_range);
}

class FadePlayerFrames : public ::testing::Test {
protected:
    void SetUp() override {
        model_.SetReady(true);
        player_.SetClock([this] { return now_; });
        QObject::connect(&model_, &TDeskModel::changed, [this](const TDeskChange& c) {
            if (!c.Has(TDeskChange::Levels)) return;
            frames_.push_back({now_, c.Has(TDeskChange::Faded)});
            TLevelArray levels;
            std::copy(std::begin(model_.Table().Level), std::end(model_.Table().Level),
                      levels.begin());
            sent_.push_back(levels);
        });
    }
    // Turns the clock in steps of `stepUs`, ticking the player each time.
    void RunFor(std::int64_t us, std::int64_t stepUs = 1000) {
        for (const std::int64_t end = now_ + us; now_ < end;) {
            now_ += stepUs;
            player_.Tick();
        }
    }

    struct TFrame {
        std::int64_t At;
        bool ByFade;
    };
    TDeskModel model_;
    TFadePlayer player_{model_};
    std::int64_t now_ = 1'000'000;
    std::vector<TFrame> frames_;
    std::vector<TLevelArray> sent_;
};

TEST_F(FadePlayerFrames, TwoSecondsOfAllChannelsAtMost44FramesASecondMonotonicAndExactAtTheEnd) {
    TLevelArray look;
    for (std::size_t i = 0; i < look.size(); ++i)
        look[i] = static_cast<std::uint8_t>(i % 256);
    player_.Start(look, 2000);
    RunFor(3'000'000, 500);
    EXPECT_FALSE(player_.Running());
    ASSERT_GE(frames_.size(), 80u) << "a smooth fade, not a jump";
    EXPECT_LE(frames_.size(), 89u);
    for (std::size_t i = 1; i < frames_.size(); ++i)
        EXPECT_GE(frames_[i].At - frames_[i - 1].At, TFadePlayer::FRAME_GAP_US) << "frame " << i;
    for (std::size_t i = 1; i < sent_.size(); ++i)
        for (std::size_t c = 0; c < look.size(); ++c)
            ASSERT_GE(sent_[i][c], sent_[i - 1][c]) << "channel " << c + 1 << " frame " << i;
    EXPECT_EQ(sent_.back(), look);
    EXPECT_LE(frames_.back().At - 1'000'000, 2'000'000 + TFadePlayer::FRAME_GAP_US);
}

TEST_F(FadePlayerFrames, WithoutAFadeTimeTheLookIsOneFrame) {
    TLevelArray look{};
    look[99] = 42;
    player_.Start(look, 0);
    ASSERT_EQ(frames_.size(), 1u);
    EXPECT_EQ(model_.Table().LevelOf(100), 42);
    EXPECT_FALSE(player_.Running());
}

TEST_F(FadePlayerFrames, AFaderMovedByHandLeavesTheFadeAndThePageShownDoesNot) {
    TLevelArray look;
    look.fill(255);
    player_.Start(look, 2000);
    RunFor(500'000);
    model_.MoveFader(3, 10, {3, 0}); // a person takes channel 3
    model_.ShowPage(2, {});          // resends every level, writes none
    RunFor(2'000'000);
    EXPECT_EQ(model_.Table().LevelOf(3), 10);
    EXPECT_EQ(model_.Table().LevelOf(4), 255);
    EXPECT_EQ(model_.Table().LevelOf(40), 255);
    EXPECT_EQ(model_.FaderPosition(8), 255) << "the faders of the page shown follow";
}

TEST_F(FadePlayerFrames, ABulkCommandOrANewLayoutEndsTheFade) {
    TLevelArray look;
    look.fill(255);
    player_.Start(look, 2000);
    RunFor(100'000);
    model_.SetPageLevels(0, {});
    RunFor(2'000'000);
    EXPECT_EQ(model_.Table().LevelOf(1), 0);
    EXPECT_EQ(model_.Table().LevelOf(33), 255);

    player_.Start(TLevelArray{}, 2000);
    RunFor(100'000);
    model_.NewLayout({});
    EXPECT_FALSE(player_.Running());
}

TEST_F(FadePlayerFrames, ANewRecallTakesOverEveryChannel) {
    TLevelArray up;
    up.fill(200);
    player_.Start(up, 2000);
    RunFor(1'000'000);
    TLevelArray down{};
    player_.Start(down, 1000);
    RunFor(1'500'000);
    EXPECT_EQ(sent_.back(), down);
    for (std::size_t i = frames_.size() / 2 + 1; i < sent_.size(); ++i)
        EXPECT_LE(sent_[i][0], sent_[i - 1][0]);
}

TEST_F(FadePlayerFrames, TheTargetsStandInForFadingLevelsWhenTheDeskIsCaptured) {
    TLevelArray look{};
    look[4] = 90;
    player_.Start(look, 2000);
    RunFor(300'000);
    TChannelTable table = model_.Table();
    ASSERT_NE(table.LevelOf(5), 90);
    player_.PutTargets(table);
    EXPECT_EQ(table.LevelOf(5), 90);
}

} // namespace
