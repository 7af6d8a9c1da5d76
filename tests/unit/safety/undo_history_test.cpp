// The undo history over the real model: what makes one step, what undo and
// redo put back, and how many frames they cost the host.

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "model/Captions.h"
#include "safety/FadePlayer.h"
#include "safety/UndoHistory.h"

namespace {

class UndoHistorySteps : public ::testing::Test {
protected:
    void SetUp() override {
        history_.SetClock([this] { return clock_; });
        history_.SetDocument([this] { return document_; });
        QObject::connect(&history_, &TUndoHistory::documentRestored,
                         [this](const QString& d) { document_ = d; });
        model_.SetReady(true);
        QObject::connect(&model_, &TDeskModel::changed, [this](const TDeskChange& c) {
            frames_ += c.Has(TDeskChange::Levels) ? 1 : 0;
        });
    }

    int Level(int channel) const { return model_.Table().LevelOf(channel); }
    // A bulk command as the window runs it: one named step.
    void SetAll(int level) {
        const TStepScope step(model_, QStringLiteral("All Faders To %1").arg(level));
        model_.SetAllLevels(level, {});
    }
    // A drag of the fader in `slot` through the levels, let go at the end.
    void Drag(int slot, std::initializer_list<int> levels) {
        for (int level : levels)
            model_.MoveFader(slot, level, {slot, 0});
        model_.SettleStep();
    }
    int FramesOf(const std::function<void()>& action) {
        const int before = frames_;
        action();
        return frames_ - before;
    }

    TDeskModel model_;
    TUndoHistory history_{model_};
    qint64 clock_ = 0;
    QString document_;
    int frames_ = 0;
};

TEST_F(UndoHistorySteps, BulkCommandIsOneStepUndoneWithOneFrameAndRedone) {
    Drag(1, {10, 60});
    Drag(2, {200});
    const int bulkFrames = FramesOf([this] { SetAll(0); });
    ASSERT_EQ(history_.UndoName(), QStringLiteral("All Faders To 0"));
    EXPECT_EQ(history_.UndoCount(), 3);

    EXPECT_EQ(FramesOf([this] { ASSERT_TRUE(history_.Undo()); }), 1);
    EXPECT_LE(1, bulkFrames);
    EXPECT_EQ(Level(1), 60);
    EXPECT_EQ(Level(2), 200);
    EXPECT_EQ(model_.FaderPosition(1), 60) << "the fader follows the restored level";
    EXPECT_EQ(history_.RedoName(), QStringLiteral("All Faders To 0"));

    EXPECT_EQ(FramesOf([this] { ASSERT_TRUE(history_.Redo()); }), 1);
    EXPECT_EQ(Level(1), 0);
    EXPECT_EQ(Level(2), 0);
}

TEST_F(UndoHistorySteps, ADragIsOneStepFromPressToRelease) {
    Drag(5, {1, 2, 3, 50, 120});
    Drag(5, {7});
    ASSERT_EQ(history_.UndoCount(), 2) << "two drags of the same fader are two steps";
    EXPECT_EQ(history_.UndoName(), QStringLiteral("Fader 5"));
    history_.Undo();
    EXPECT_EQ(Level(5), 120);
    history_.Undo();
    EXPECT_EQ(Level(5), 0);
    EXPECT_FALSE(history_.CanUndo());
}

TEST_F(UndoHistorySteps, AWheelBurstEndsAtAnotherFaderOrAfterAPause) {
    // Wheel turns are never let go: a burst ends when another fader moves...
    model_.MoveFader(3, 10, {});
    model_.MoveFader(3, 20, {});
    model_.MoveFader(4, 30, {});
    // ...or when the same one rests longer than a pause.
    clock_ += TUndoHistory::BURST_PAUSE_MS + 1;
    model_.MoveFader(4, 40, {});
    history_.Settle();
    ASSERT_EQ(history_.UndoCount(), 3);
    history_.Undo();
    EXPECT_EQ(Level(4), 30);
    history_.Undo();
    EXPECT_EQ(Level(4), 0);
    EXPECT_EQ(Level(3), 20);
}

TEST_F(UndoHistorySteps, CaptionsAndColoursComeBackExactlyWithoutAFrame) {
    model_.SetNames(7, QStringLiteral("Front wash"), QStringLiteral("left"));
    model_.SettleStep();
    {
        const TStepScope step(model_, QStringLiteral("Set Caption"));
        model_.SetNames(7, QStringLiteral("Back"), QString());
        model_.SetNames(8, QStringLiteral("Smoke"), QString());
    }
    {
        const TStepScope step(model_, QStringLiteral("Set Fader Color"));
        model_.SetFaderColor(7, clRed);
    }
    EXPECT_EQ(FramesOf([this] { history_.Undo(); }), 0) << "a colour sent no frame";
    EXPECT_EQ(model_.Table().FaderColorOf(7), clGray);
    EXPECT_EQ(FramesOf([this] { history_.Undo(); }), 0);
    EXPECT_EQ(CaptionText(model_.Table().Name1Of(7)), QStringLiteral("Front wash"));
    EXPECT_EQ(CaptionText(model_.Table().Name2Of(7)), QStringLiteral("left"));
    EXPECT_EQ(model_.Table().Name1Of(8).Length, 0);
}

TEST_F(UndoHistorySteps, KeepsAtLeastAHundredStepsAndForgetsTheOldestBeyondItsDepth) {
    const int steps = TUndoHistory::DEFAULT_DEPTH + 20;
    ASSERT_GE(TUndoHistory::DEFAULT_DEPTH, 100);
    for (int i = 1; i <= steps; ++i)
        SetAll(i);
    EXPECT_EQ(history_.UndoCount(), TUndoHistory::DEFAULT_DEPTH);
    while (history_.Undo()) {
    }
    EXPECT_EQ(Level(1), steps - TUndoHistory::DEFAULT_DEPTH);
    EXPECT_EQ(history_.RedoCount(), TUndoHistory::DEFAULT_DEPTH);
}

TEST_F(UndoHistorySteps, ANewStepAfterUndoDropsWhatCouldBeRedone) {
    SetAll(10);
    SetAll(20);
    history_.Undo();
    ASSERT_TRUE(history_.CanRedo());
    Drag(1, {99});
    EXPECT_FALSE(history_.CanRedo());
}

TEST_F(UndoHistorySteps, SavingNeitherClearsTheStepsNorIsTakenBack) {
    SetAll(128);
    model_.MarkSaved();
    EXPECT_TRUE(history_.CanUndo());
    history_.Undo();
    EXPECT_EQ(model_.Table().SaveMark, 1) << "undo does not unsave the layout";
    EXPECT_EQ(Level(9), 0);
}

TEST_F(UndoHistorySteps, NothingIsUndoneWhileAStepIsOpenOrBeforeTheDeskIsReady) {
    SetAll(50);
    model_.BeginStep(QStringLiteral("Set Caption"));
    EXPECT_FALSE(history_.Undo());
    model_.EndStep();
    model_.SetReady(false);
    EXPECT_FALSE(history_.Undo());
    model_.SetReady(true);
    EXPECT_TRUE(history_.Undo());
}

TEST_F(UndoHistorySteps, AStepThatChangedNothingIsNotKept) {
    SetAll(0);
    EXPECT_FALSE(history_.CanUndo());
    // A page shown resends the levels; that is no step either.
    model_.ShowPage(2, {});
    history_.Settle();
    EXPECT_FALSE(history_.CanUndo());
}

TEST_F(UndoHistorySteps, OpenThenUndoPutsBackTheWholeTableAndTheFileName) {
    model_.SetNames(300, QStringLiteral("Far away"), QString());
    Drag(1, {77});
    document_ = QStringLiteral("/shows/a.HXI");
    auto opened = std::make_unique<TChannelTable>();
    ClearChannels(*opened);
    opened->LevelOf(300) = 5;
    opened->ReservedInts[3] = 1234;
    {
        const TStepScope step(model_, QStringLiteral("Open"));
        document_ = QStringLiteral("/shows/b.HXI");
        model_.LoadLayout(*opened, {});
    }
    EXPECT_EQ(Level(300), 5);
    EXPECT_EQ(FramesOf([this] { history_.Undo(); }), 1);
    EXPECT_EQ(Level(1), 77);
    EXPECT_EQ(Level(300), 0);
    EXPECT_EQ(CaptionText(model_.Table().Name1Of(300)), QStringLiteral("Far away"));
    EXPECT_EQ(model_.Table().ReservedInts[3], 0);
    EXPECT_EQ(document_, QStringLiteral("/shows/a.HXI"));
    history_.Redo();
    EXPECT_EQ(model_.Table().ReservedInts[3], 1234);
    EXPECT_EQ(document_, QStringLiteral("/shows/b.HXI"));
}

TEST_F(UndoHistorySteps, ALatchedBumpIsUndoneAndRedoneWithTheLevelItReturnsTo) {
    model_.SetToggleBumps(true);
    Drag(6, {60});
    const TFocus onBump{0, 6};
    model_.LatchBump(6, true, onBump);
    model_.SettleStep();
    ASSERT_EQ(Level(6), 255);
    EXPECT_EQ(history_.UndoName(), QStringLiteral("Bump 6"));
    history_.Undo();
    EXPECT_EQ(Level(6), 60);
    EXPECT_FALSE(model_.BumpLatched(6));
    history_.Redo();
    EXPECT_TRUE(model_.BumpLatched(6));
    // Let go after the redo, the bump still knows where its fader was.
    model_.LatchBump(6, false, onBump);
    EXPECT_EQ(Level(6), 60);
}

TEST_F(UndoHistorySteps, AStepDuringAFadeCountsTheFadeAsArrived) {
    TFadePlayer player(model_);
    std::int64_t now = 0;
    player.SetClock([&] { return now; });
    history_.SetPendingLevels([&](TChannelTable& t) { player.PutTargets(t); });
    history_.SetBeforeRestore([&] { player.Stop(); });
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> look{};
    look.fill(200);
    {
        const TStepScope step(model_, QStringLiteral("Recall Snapshot 1"));
        player.Start(look, 2000);
    }
    now = 1'000'000;
    player.Tick();
    ASSERT_GT(Level(1), 0);
    ASSERT_LT(Level(1), 200);
    // Undone mid-fade: the fade stops and the desk is as before the recall.
    EXPECT_EQ(FramesOf([this] { history_.Undo(); }), 1);
    EXPECT_FALSE(player.Running());
    EXPECT_EQ(Level(1), 0);
    history_.Redo();
    EXPECT_EQ(Level(512), 200) << "redo puts the look at once";
}

} // namespace
