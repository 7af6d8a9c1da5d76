// The desk's rules without a widget: what each does to the channels, and
// what it announces (each announcement of levels is one frame to the host).

#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "model/DeskModel.h"

namespace {

class DeskModelRules : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&model_, &TDeskModel::changed,
                         [this](const TDeskChange& c) { changes_.push_back(c); });
        model_.SetReady(true);
        changes_.clear();
    }

    int Frames() const {
        int n = 0;
        for (const TDeskChange& c : changes_)
            n += c.Has(TDeskChange::Levels) ? 1 : 0;
        return n;
    }
    int Level(int channel) const { return model_.Table().LevelOf(channel); }
    // Puts levels into the table as a loaded layout would.
    void Load(const std::vector<std::pair<int, int>>& levels,
              const std::vector<int>& latched = {}) {
        auto table = std::make_unique<TChannelTable>(model_.Table());
        for (auto [channel, level] : levels)
            table->LevelOf(channel) = static_cast<std::uint8_t>(level);
        for (int channel : latched)
            table->BumpOf(channel) = 1;
        model_.LoadLayout(*table, {});
        changes_.clear();
    }

    TDeskModel model_;
    std::vector<TDeskChange> changes_;
};

TEST_F(DeskModelRules, MovingAFaderWritesItsChannelAndAnnouncesOneFrame) {
    model_.MoveFader(8, 200, {});
    EXPECT_EQ(Level(8), 200);
    EXPECT_EQ(model_.FaderPosition(8), 200);
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_TRUE(changes_[0].Has(TDeskChange::Levels | TDeskChange::FaderPositions));
    EXPECT_TRUE(changes_[0].TouchesChannel(8));
    EXPECT_FALSE(changes_[0].TouchesChannel(9));
    EXPECT_TRUE(changes_[0].TouchesSlot(8));
    // The same position again is no change at all.
    model_.MoveFader(8, 200, {});
    EXPECT_EQ(changes_.size(), 1u);
}

TEST_F(DeskModelRules, BeforeReadyAFaderMovesButNoLevelChanges) {
    model_.SetReady(false);
    changes_.clear();
    model_.MoveFader(3, 99, {});
    EXPECT_EQ(model_.FaderPosition(3), 99);
    EXPECT_EQ(Level(3), 0);
    EXPECT_EQ(Frames(), 0);
    model_.ShowPage(4, {});
    EXPECT_EQ(model_.Page(), 0);
    model_.PressBump(3, {});
    EXPECT_EQ(Frames(), 0);
}

TEST_F(DeskModelRules, NumbersOutOfRangeRaiseBeforeAnythingChanges) {
    EXPECT_THROW(model_.MoveFader(0, 10, {}), std::out_of_range);
    EXPECT_THROW(model_.MoveFader(33, 10, {}), std::out_of_range);
    EXPECT_THROW(model_.MoveFader(4, 256, {}), std::out_of_range);
    EXPECT_THROW(model_.MoveFader(4, -1, {}), std::out_of_range);
    EXPECT_THROW(model_.SelectFader(33), std::out_of_range);
    for (int page : {0, 17, -3})
        EXPECT_THROW(model_.ShowPage(page, {}), std::out_of_range) << page;
    EXPECT_THROW(model_.SetAllLevels(300, {}), std::out_of_range);
    EXPECT_THROW(model_.SetNames(513, QString(), QString()), std::out_of_range);
    EXPECT_THROW(model_.FaderPosition(0), std::out_of_range);
    EXPECT_THROW(model_.SavedLevel(513), std::out_of_range);
    EXPECT_EQ(model_.Page(), 0);
    EXPECT_EQ(Level(4), 0);
    EXPECT_TRUE(changes_.empty());
}

TEST_F(DeskModelRules, CurrentChannelComesFromPageAndSlot) {
    EXPECT_THROW(model_.CurrentChannel(), std::out_of_range) << "no fader taken yet";
    EXPECT_THROW(model_.ApplyPreset(128, {}), std::out_of_range);
    model_.ShowPage(3, {});
    model_.SelectFader(5);
    EXPECT_EQ(model_.CurrentChannel(), 69);
    model_.ApplyPreset(128, {});
    EXPECT_EQ(Level(69), 128);
}

TEST_F(DeskModelRules, APageSwitchMovesTheFadersAndEndsWithOneFrame) {
    Load({{33, 10}, {34, 20}, {40, 255}});
    model_.ShowPage(2, {});
    EXPECT_EQ(model_.Page(), 1);
    EXPECT_EQ(model_.ChannelOf(1), 33);
    EXPECT_EQ(model_.FaderPosition(8), 255);
    // Each fader that moves sends the levels as they are, then one more.
    EXPECT_EQ(Frames(), 4);
    EXPECT_TRUE(changes_.front().Has(TDeskChange::Page));
    model_.ShowPage(2, {});
    EXPECT_EQ(Frames(), 5) << "the same page again: nothing moves, one frame";
}

TEST_F(DeskModelRules, AMomentaryBumpDrivesToFullAndBack) {
    Load({{6, 100}});
    model_.PressBump(6, {0, 6});
    EXPECT_EQ(Level(6), 255);
    EXPECT_TRUE(model_.BumpLit(6));
    EXPECT_EQ(model_.SavedLevel(6), 100);
    EXPECT_EQ(Frames(), 2);
    model_.ReleaseBump(6, {0, 6});
    EXPECT_EQ(Level(6), 100);
    EXPECT_FALSE(model_.BumpLit(6));
    EXPECT_EQ(model_.CurrentFader(), 6);
    EXPECT_EQ(Frames(), 4);
    // At full already, the fader does not move: one frame each way.
    model_.MoveFader(6, 255, {});
    changes_.clear();
    model_.PressBump(6, {0, 6});
    EXPECT_EQ(Frames(), 1);
}

TEST_F(DeskModelRules, MomentaryBumpsDoNothingWhileBumpsLatch) {
    model_.SetToggleBumps(true);
    model_.PressBump(6, {0, 6});
    model_.ReleaseBump(6, {0, 6});
    EXPECT_EQ(Level(6), 0);
    EXPECT_TRUE(changes_.empty());
}

TEST_F(DeskModelRules, OnlyAFocusedToggleBumpActs) {
    model_.SetToggleBumps(true);
    Load({{7, 50}});
    model_.LatchBump(7, true, {});
    EXPECT_TRUE(model_.BumpLatched(7)) << "the button moved";
    EXPECT_EQ(Level(7), 50) << "but nobody held it";
    EXPECT_EQ(Frames(), 0);
    model_.LatchBump(7, false, {});

    model_.LatchBump(7, true, {0, 7});
    EXPECT_EQ(Level(7), 255);
    EXPECT_EQ(model_.Table().BumpOf(7), 1);
    EXPECT_TRUE(model_.BumpLit(7));
    model_.LatchBump(7, false, {0, 7});
    EXPECT_EQ(Level(7), 50);
    EXPECT_EQ(model_.Table().BumpOf(7), 0);
    EXPECT_EQ(Frames(), 4);
}

TEST_F(DeskModelRules, TakingHoldOfAFaderReleasesItsLatchedBump) {
    model_.SetToggleBumps(true);
    model_.LatchBump(9, true, {0, 9});
    model_.MoveFader(9, 40, {9, 0});
    EXPECT_EQ(Level(9), 40);
    EXPECT_FALSE(model_.BumpLatched(9));
    EXPECT_FALSE(model_.BumpLit(9));
    EXPECT_EQ(model_.Table().BumpOf(9), 0) << "a later refresh must not latch it again";
    // A fader moved by code, without the focus, leaves the bump latched.
    model_.LatchBump(10, true, {0, 10});
    model_.MoveFader(10, 40, {});
    EXPECT_TRUE(model_.BumpLatched(10));
}

TEST_F(DeskModelRules, AllLevelsSendFaderByFaderThenTheWholeUniverse) {
    model_.SetAllLevels(128, {});
    for (int c : {1, 32, 33, 512})
        EXPECT_EQ(Level(c), 128) << c;
    EXPECT_EQ(Frames(), 33);
    EXPECT_EQ(changes_.back().FirstChannel, 1);
    EXPECT_EQ(changes_.back().LastChannel, 512);
}

TEST_F(DeskModelRules, AFocusedLatchedBumpDipsToItsSavedLevelBeforeABulkLevel) {
    model_.SetToggleBumps(true);
    Load({{13, 128}});
    model_.LatchBump(13, true, {0, 13});
    changes_.clear();
    model_.SetAllLevels(0, {0, 13});
    EXPECT_EQ(Level(13), 0);
    EXPECT_FALSE(model_.BumpLatched(13));
    // The release puts 128 back first, as a person's unlatch would.
    ASSERT_GE(changes_.size(), 2u);
    int dips = 0;
    for (const TDeskChange& c : changes_)
        dips += c.Has(TDeskChange::Levels) && c.TouchesChannel(13) && c.LastChannel == 13;
    EXPECT_EQ(dips, 3);
}

TEST_F(DeskModelRules, PageLevelsTouchOnlyThePageShown) {
    model_.ShowPage(2, {});
    model_.SetPageLevels(255, {});
    EXPECT_EQ(Level(33), 255);
    EXPECT_EQ(Level(64), 255);
    EXPECT_EQ(Level(32), 0);
    EXPECT_EQ(Level(65), 0);
}

TEST_F(DeskModelRules, ReleasingAllBumpsPutsBumpedChannelsToZero) {
    model_.SetToggleBumps(true);
    Load({{2, 200}, {40, 90}}, {2, 40});
    EXPECT_TRUE(model_.BumpLatched(2)) << "a loaded latch shows on its button";
    model_.ReleaseAllBumps({});
    EXPECT_EQ(Level(2), 0);
    EXPECT_EQ(Level(40), 0) << "on another page too";
    EXPECT_EQ(model_.Table().BumpOf(40), 0);
    EXPECT_FALSE(model_.BumpLatched(2));
    EXPECT_EQ(model_.FaderPosition(2), 0);
}

TEST_F(DeskModelRules, NamesAndColoursAreAnnouncedForTheirChannel) {
    model_.SetNames(34, QStringLiteral("Spot"), QStringLiteral("Left stage wash"));
    EXPECT_EQ(model_.Table().Name1Of(34).Text(), "Spot");
    EXPECT_EQ(model_.Table().Name2Of(34).Text(), "Left stage w") << "twelve characters kept";
    model_.ClearNames(34);
    EXPECT_EQ(model_.Table().Name1Of(34).Length, 0);
    EXPECT_EQ(std::string(model_.Table().Name1Of(34).Chars, 4), "Spot")
        << "the characters stay and are saved";
    model_.SetFaderColor(34, clRed);
    EXPECT_EQ(model_.Table().FaderColorOf(34), clRed);
    ASSERT_EQ(changes_.size(), 3u);
    EXPECT_TRUE(changes_[1].Has(TDeskChange::Names));
    EXPECT_TRUE(changes_[2].Has(TDeskChange::Colors));
    EXPECT_TRUE(changes_[2].TouchesChannel(34));
    EXPECT_EQ(Frames(), 0) << "names and colours are not levels";
}

TEST_F(DeskModelRules, NewAndLoadedLayoutsRefreshThePageAndSendTwice) {
    Load({{1, 10}, {2, 20}});
    EXPECT_EQ(model_.FaderPosition(2), 20);
    model_.NewLayout({});
    EXPECT_EQ(Level(2), 0);
    EXPECT_EQ(model_.FaderPosition(2), 0);
    EXPECT_TRUE(model_.Ready());
    EXPECT_EQ(Frames(), 2) << "faders move while the desk is not ready: no frame of their own";
}

TEST_F(DeskModelRules, StartingWithoutMemoryClearsLevelsAndBumps) {
    auto table = std::make_unique<TChannelTable>(model_.Table());
    table->LevelOf(5) = 77;
    table->BumpOf(5) = 1;
    table->Name1Of(5).Assign("Kept");
    TDeskModel fresh;
    fresh.StartWith(*table, false, {});
    EXPECT_TRUE(fresh.Ready());
    EXPECT_EQ(fresh.Table().LevelOf(5), 0);
    EXPECT_EQ(fresh.Table().BumpOf(5), 0);
    EXPECT_EQ(fresh.Table().Name1Of(5).Text(), "Kept");
    TDeskModel remembering;
    remembering.StartWith(*table, true, {});
    EXPECT_EQ(remembering.Table().LevelOf(5), 77);
    EXPECT_EQ(remembering.FaderPosition(5), 77);
}

} // namespace

TEST_F(DeskModelRules, AChannelByNumberMovesItsFaderOnThePageShownOrTheTableElsewhere) {
    model_.SetChannelLevel(3, 90, {});
    EXPECT_EQ(Level(3), 90);
    EXPECT_EQ(model_.FaderPosition(3), 90);
    EXPECT_EQ(Frames(), 1);
    changes_.clear();
    model_.SetChannelLevel(300, 12, {});
    EXPECT_EQ(Level(300), 12);
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_TRUE(changes_[0].Has(TDeskChange::Levels));
    EXPECT_TRUE(changes_[0].TouchesChannel(300));
    EXPECT_FALSE(changes_[0].Has(TDeskChange::FaderPositions));
    changes_.clear();
    model_.SetChannelLevel(300, 12, {}); // nothing changed: nothing announced
    EXPECT_TRUE(changes_.empty());
    EXPECT_THROW(model_.SetChannelLevel(0, 1, {}), std::out_of_range);
    EXPECT_THROW(model_.SetChannelLevel(513, 1, {}), std::out_of_range);
    EXPECT_THROW(model_.SetChannelLevel(1, 256, {}), std::out_of_range);
}
