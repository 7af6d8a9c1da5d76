// The bank's rules on a desk whose widget tables are empty: what they do to
// the table and how many frames they send, without any widget.

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include "bank/BankInteractions.h"
#include "bank/BankRefresh.h"
#include "model/Captions.h"

namespace {

class BankRules : public ::testing::Test {
protected:
    void SetUp() override {
        state_ = std::make_unique<TDeskState>();
        ClearChannels(state_->Table);
        state_->Ready = true;
        state_->CurrentPage = 1; // channels 33..64
    }
    TDeskState& State() { return *state_; }

    std::unique_ptr<TDeskState> state_;
    int frames_ = 0;
    const TSendThenRecolour send_{[this] { ++frames_; }};
};

TEST_F(BankRules, ValueChangeWritesTheLevelAndSendsOneFrame) {
    FaderValueChange(State(), send_, 40, 200, false);
    EXPECT_EQ(State().Table.LevelOf(40), 200);
    EXPECT_EQ(frames_, 1);
    EXPECT_EQ(State().Table.LevelOf(41), 0);
}

TEST_F(BankRules, ValueChangeBeforeReadyDoesNothing) {
    State().Ready = false;
    FaderValueChange(State(), send_, 40, 200, false);
    EXPECT_EQ(State().Table.LevelOf(40), 0);
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, ValueChangeWithBadChannelOrLevelRaisesAndSendsNothing) {
    EXPECT_THROW(FaderValueChange(State(), send_, 0, 10, false), std::out_of_range);
    EXPECT_THROW(FaderValueChange(State(), send_, 513, 10, false), std::out_of_range);
    EXPECT_THROW(FaderValueChange(State(), send_, 40, 256, false), std::out_of_range);
    EXPECT_THROW(FaderValueChange(State(), send_, 40, -1, false), std::out_of_range);
    EXPECT_EQ(State().Table.LevelOf(40), 0);
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, FocusedValueChangeNeedsTheSlotsBumpButton) {
    // The level is sent first; releasing a latched bump needs its widget.
    EXPECT_THROW(FaderValueChange(State(), send_, 40, 7, true), std::runtime_error);
    EXPECT_EQ(State().Table.LevelOf(40), 7);
    EXPECT_EQ(frames_, 1);
}

TEST_F(BankRules, EnteringAFaderMakesItsSlotCurrent) {
    FaderEnter(State(), 40);
    EXPECT_EQ(State().CurrentFader, 8);
    EXPECT_THROW(FaderEnter(State(), 3), std::out_of_range); // on page 0
    EXPECT_THROW(FaderEnter(State(), 600), std::out_of_range);
    EXPECT_EQ(State().CurrentFader, 8);
}

TEST_F(BankRules, PageClickShowsThePageAndSendsOneFrame) {
    PageButtonClick(State(), send_, 3);
    EXPECT_EQ(State().CurrentPage, 2);
    EXPECT_EQ(frames_, 1);
    PageButtonClick(State(), send_, 16);
    EXPECT_EQ(State().CurrentPage, 15);
    EXPECT_EQ(frames_, 2);
}

TEST_F(BankRules, PageClickWithBadPageRaisesAndChangesNothing) {
    for (int page : {0, 17, -3}) {
        EXPECT_THROW(PageButtonClick(State(), send_, page), std::out_of_range) << page;
        EXPECT_EQ(State().CurrentPage, 1) << page;
    }
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, PageClickBeforeReadyChangesNoPage) {
    State().Ready = false;
    PageButtonClick(State(), send_, 5);
    EXPECT_EQ(State().CurrentPage, 1);
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, MomentaryBumpActsOnlyWhenReadyAndNotToggle) {
    State().Table.LevelOf(40) = 30;
    BumpMouseDown(State(), send_, 40, true);
    State().Ready = false;
    BumpMouseDown(State(), send_, 40, false);
    BumpMouseUp(State(), send_, 40, false);
    EXPECT_EQ(State().SavedLevelOf(40), 0);
    EXPECT_EQ(frames_, 0);
    // Ready, momentary: the slot's widgets are needed before anything changes.
    State().Ready = true;
    EXPECT_THROW(BumpMouseDown(State(), send_, 40, false), std::runtime_error);
    EXPECT_EQ(State().SavedLevelOf(40), 0);
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, ToggleBumpIgnoresAnUnfocusedButton) {
    BumpChange(State(), send_, 40, true, false);
    EXPECT_EQ(State().Table.BumpOf(40), 0);
    EXPECT_EQ(frames_, 0);
    EXPECT_THROW(BumpChange(State(), send_, 40, true, true), std::runtime_error);
    EXPECT_EQ(State().Table.BumpOf(40), 0);
    EXPECT_EQ(frames_, 0);
}

TEST_F(BankRules, CurrentChannelComesFromPageAndSlot) {
    State().CurrentPage = 2;
    State().CurrentFader = 5;
    EXPECT_EQ(CurrentChannel(State()), 69);
    State().CurrentPage = 15;
    State().CurrentFader = 32;
    EXPECT_EQ(CurrentChannel(State()), 512);
    State().CurrentFader = 0; // no fader has had the focus yet
    EXPECT_THROW(CurrentChannel(State()), std::out_of_range);
    State().CurrentFader = 33;
    EXPECT_THROW(CurrentChannel(State()), std::out_of_range);
}

TEST_F(BankRules, ClearCaptionWithoutCurrentFaderChangesNothing) {
    StoreCaption(State().Table.Name1Of(33), QStringLiteral("Spot"));
    State().CurrentFader = 0;
    EXPECT_THROW(ClearCaption(State()), std::out_of_range);
    EXPECT_EQ(State().Table.Name1Of(33).Length, 4);
}

TEST_F(BankRules, ClearCaptionKeepsTheCharactersAndNeedsTheFader) {
    StoreCaption(State().Table.Name1Of(34), QStringLiteral("Spot"));
    StoreCaption(State().Table.Name2Of(34), QStringLiteral("Left"));
    State().CurrentFader = 2;
    // The table is cleared before the fader would show it.
    EXPECT_THROW(ClearCaption(State()), std::runtime_error);
    EXPECT_EQ(State().Table.Name1Of(34).Length, 0);
    EXPECT_EQ(State().Table.Name2Of(34).Length, 0);
    EXPECT_EQ(std::string(State().Table.Name1Of(34).Chars, 4), "Spot");
}

TEST_F(BankRules, PresetNeedsACurrentFaderWithItsWidget) {
    State().CurrentFader = 0;
    EXPECT_THROW(ApplyPreset(State(), 128), std::out_of_range);
    State().CurrentFader = 3;
    EXPECT_THROW(ApplyPreset(State(), 128), std::runtime_error);
    EXPECT_EQ(State().Table.LevelOf(35), 0);
}

} // namespace
