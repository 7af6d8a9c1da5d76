// What goes back to one control, and when a fader without a motor takes over.

#include <gtest/gtest.h>

#include "surfaces/FeedbackGate.h"
#include "surfaces/SoftTakeover.h"

TEST(FeedbackGate, NewestValueWinsAtMostOncePerInterval) {
    TFeedbackGate gate(20, 300);
    gate.Offer(10);
    EXPECT_EQ(gate.Take(0), 10);
    gate.Offer(11);
    gate.Offer(12);
    EXPECT_EQ(gate.Take(5), std::nullopt);
    EXPECT_EQ(gate.NextDue(), 20);
    EXPECT_EQ(gate.Take(20), 12);
    EXPECT_EQ(gate.Take(100), std::nullopt);
    EXPECT_EQ(gate.NextDue(), std::nullopt);
}

TEST(FeedbackGate, UrgentSkipsTheIntervalAndSameValueIsNotResent) {
    TFeedbackGate gate(20, 300);
    gate.Offer(10);
    EXPECT_EQ(gate.Take(0), 10);
    gate.Offer(30, true);
    EXPECT_EQ(gate.Take(1), 30);
    gate.Offer(30, true);
    EXPECT_EQ(gate.Take(100), std::nullopt); // it shows 30 already
}

TEST(FeedbackGate, AMovingControlGetsNoEchoAndLaterOnlyWhatDiffers) {
    TFeedbackGate gate(20, 300);
    gate.Moved(0, 64);
    gate.Offer(64); // the desk followed the hand
    EXPECT_EQ(gate.Take(10), std::nullopt);
    EXPECT_EQ(gate.Take(400), std::nullopt); // still where the hand left it
    gate.Moved(500, 70);
    gate.Offer(90); // something else moved the channel meanwhile
    EXPECT_EQ(gate.Take(600), std::nullopt);
    EXPECT_EQ(gate.NextDue(), 800);
    EXPECT_EQ(gate.Take(800), 90);
    gate.Offer(90, true);
    gate.Forget(); // the device came back: it shows nothing known
    EXPECT_EQ(gate.Take(900), 90);
}

TEST(SoftTakeover, HoldsOnlyOncePassingTheLevel) {
    TSoftTakeover t;
    EXPECT_FALSE(t.Move(10, 127, 128)); // level 128 is value 64
    EXPECT_EQ(t.Marker(), 20);          // round(255*10/127)
    EXPECT_FALSE(t.Move(40, 127, 128));
    EXPECT_TRUE(t.Move(70, 127, 128)); // crossed 64
    EXPECT_EQ(t.Marker(), std::nullopt);
    EXPECT_TRUE(t.Move(5, 127, 128));
    t.Release();
    EXPECT_FALSE(t.Move(6, 127, 200));
    EXPECT_TRUE(t.Move(127, 127, 200));
}

TEST(SoftTakeover, FromAboveAndLandingExactly) {
    TSoftTakeover t;
    EXPECT_FALSE(t.Move(120, 127, 10));
    EXPECT_TRUE(t.Move(3, 127, 10)); // passed down through value 5
    t.Release();
    EXPECT_TRUE(t.Move(0, 127, 0));
}

TEST(SoftTakeover, ALevelPassedWithinACoalescedBatchCounts) {
    TSoftTakeover t;
    EXPECT_FALSE(t.Move(100, 127, 0, 90, 110));
    EXPECT_TRUE(t.Move(100, 127, 0, 0, 100)); // went down to 0 and back up in one batch
}

TEST(FeedbackGate, AFourteenBitFaderLeftBetweenLevelsIsNotNudged) {
    TFeedbackGate gate(20, 300, 16383);
    gate.Moved(0, 8192); // level 128, whose own value is 8223
    gate.Offer(8223);
    EXPECT_EQ(gate.Take(1000), std::nullopt);
    gate.Offer(8288); // level 129: another level
    EXPECT_EQ(gate.Take(1100), 8288);
}
