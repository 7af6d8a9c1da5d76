// A surface's view of the desk: pages and banks, feedback, soft takeover,
// and no echo to the control being moved.

#include <map>

#include <gtest/gtest.h>

#include "model/DeskModel.h"
#include "surfaces/SurfaceSession.h"
#include "surfaces/ValueScale.h"

namespace {

TSurfaceProfile Profile(const char* text) {
    TSurfaceProfile p;
    EXPECT_EQ(ParseSurfaceProfile(text, p), "");
    return p;
}

class Session : public ::testing::Test {
protected:
    void Start(const TSurfaceProfile& profile) {
        session_ = std::make_unique<TSurfaceSession>(model_, ShapeOf(profile));
        QObject::connect(&model_, &TDeskModel::changed,
                         [this](const TDeskChange& c) { session_->Follow(c, now_); });
        model_.SetReady(true);
        session_->Resync();
        Sent();
    }
    // What went out by now, control by control (the newest of each).
    std::map<std::pair<int, int>, int> Sent() {
        std::map<std::pair<int, int>, int> out;
        for (const auto& f : session_->TakeDue(now_))
            out[{static_cast<int>(f.Role), f.Index}] = f.Value;
        return out;
    }
    int FaderSent(const std::map<std::pair<int, int>, int>& sent, int index) {
        const auto it = sent.find({static_cast<int>(TControlRole::Fader), index});
        return it == sent.end() ? -1 : it->second;
    }
    void Move(int index, int value, int max = 127) {
        session_->Apply({TControlRole::Fader, index, value, max, false}, now_);
    }
    void Press(TControlRole role, int index = 0, bool pressed = true) {
        session_->Apply({role, index, 0, 0, pressed}, now_);
    }
    int Level(int channel) const { return model_.Table().LevelOf(channel); }

    TDeskModel model_;
    std::unique_ptr<TSurfaceSession> session_;
    TMillis now_ = 1000;
};

constexpr char kMotorised[] = "faders 8\nmotorised yes\n"
                              "fader 1 pitchbend 1\nfader 2 pitchbend 2\nfader 8 pitchbend 8\n"
                              "bump 1 note 1 24\n"
                              "bank-left note 1 46\nbank-right note 1 47\n"
                              "page-previous note 1 48\npage-next note 1 49\n";

} // namespace

TEST_F(Session, GenericFaderSetsTheShownChannel) {
    Start(GenericProfile());
    // Without motors, a fader first has to meet its channel's level (0).
    Move(1, 127);
    EXPECT_EQ(Level(1), 0);
    Move(1, 0);
    Move(1, 127);
    Move(32, 0);
    Move(32, 64);
    EXPECT_EQ(Level(1), 255);
    EXPECT_EQ(Level(32), 129);
    Press(TControlRole::Page, 2);
    EXPECT_EQ(model_.Page(), 1);
    // Page 2's slot 1 is channel 33; a soft fader must catch it first.
    Move(1, 0);
    EXPECT_EQ(Level(33), 0);
    EXPECT_EQ(Level(1), 255);
}

TEST_F(Session, NoEchoToTheFaderBeingMovedButOthersFollow) {
    Start(Profile(kMotorised));
    Move(1, 8000, MIDI_14BIT_MAX);
    EXPECT_EQ(Level(1), LevelFromValue(8000, MIDI_14BIT_MAX));
    now_ += 50;
    EXPECT_EQ(FaderSent(Sent(), 1), -1);
    now_ += 1000;
    // The hand let go between two levels' values: it is not nudged.
    EXPECT_NE(ValueFromLevel(Level(1), MIDI_14BIT_MAX), 8000);
    EXPECT_EQ(FaderSent(Sent(), 1), -1);
    // A change from elsewhere (a preset on the current fader) goes out.
    model_.SelectFader(2);
    model_.ApplyPreset(255, {});
    EXPECT_EQ(FaderSent(Sent(), 2), MIDI_14BIT_MAX);
}

TEST_F(Session, AChangeFromElsewhereWhileMovingWaitsForTheHand) {
    Start(Profile(kMotorised));
    Move(1, 4000, MIDI_14BIT_MAX);
    model_.SelectFader(1);
    model_.ApplyPreset(0, {});
    now_ += 100;
    EXPECT_EQ(FaderSent(Sent(), 1), -1);
    now_ += 300;
    EXPECT_EQ(FaderSent(Sent(), 1), 0);
}

TEST_F(Session, PageSwitchSendsTheNewlyShownLevelsAtOnce) {
    Start(Profile(kMotorised));
    model_.SetAllLevels(0, {});
    now_ += 100;
    Sent();
    auto table = std::make_unique<TChannelTable>(model_.Table());
    table->LevelOf(33) = 255;
    table->LevelOf(34) = 128;
    model_.LoadLayout(*table, {});
    now_ += 100;
    Sent();
    model_.ShowPage(2, {});
    const auto sent = Sent(); // same instant: no interval waited for
    EXPECT_EQ(FaderSent(sent, 1), MIDI_14BIT_MAX);
    EXPECT_EQ(FaderSent(sent, 2), ValueFromLevel(128, MIDI_14BIT_MAX));
    EXPECT_EQ(FaderSent(sent, 8), -1); // it shows 0 already
    // A page button from the surface does the same.
    Press(TControlRole::PagePrevious);
    EXPECT_EQ(model_.Page(), 0);
    EXPECT_EQ(FaderSent(Sent(), 1), 0);
}

TEST_F(Session, BanksShiftTheSlotsAndStopAtTheEnds) {
    Start(Profile(kMotorised));
    Press(TControlRole::BankLeft);
    EXPECT_EQ(session_->BankOffset(), 0);
    for (int i = 0; i < 5; ++i)
        Press(TControlRole::BankRight);
    EXPECT_EQ(session_->BankOffset(), 24);
    EXPECT_EQ(session_->SlotOf(1), 25);
    Move(1, MIDI_14BIT_MAX, MIDI_14BIT_MAX);
    EXPECT_EQ(Level(25), 255);
    Press(TControlRole::BankLeft);
    EXPECT_EQ(session_->SlotOf(8), 24);
}

TEST_F(Session, SoftTakeoverShowsTheMarkerUntilTheLevelIsPassed) {
    Start(GenericProfile());
    model_.SetAllLevels(128, {}); // value 64
    Move(3, 10);
    EXPECT_EQ(Level(3), 128);
    EXPECT_EQ(session_->Marker(3), LevelFromValue(10, 127));
    Move(3, 50);
    EXPECT_EQ(Level(3), 128);
    EXPECT_EQ(session_->Marker(3), LevelFromValue(50, 127));
    Move(3, 66);
    EXPECT_EQ(Level(3), LevelFromValue(66, 127));
    EXPECT_EQ(session_->Marker(3), std::nullopt);
    Move(3, 20);
    EXPECT_EQ(Level(3), LevelFromValue(20, 127));
    // Another source moves the channel: the fader lets go of it.
    model_.SetAllLevels(200, {});
    Move(3, 21);
    EXPECT_EQ(Level(3), 200);
    EXPECT_TRUE(session_->Marker(3));
}

TEST_F(Session, ResendingTheSameLevelsDoesNotDropTheTakeover) {
    Start(GenericProfile());
    Move(5, 0); // every level starts at 0: landed
    Move(5, 30);
    model_.ResendLevels();
    Move(5, 31);
    EXPECT_EQ(Level(5), LevelFromValue(31, 127));
}

TEST_F(Session, BumpsActAndLightTheirLeds) {
    Start(Profile(kMotorised));
    Press(TControlRole::Bump, 1, true);
    EXPECT_EQ(Level(1), 255);
    auto sent = Sent();
    EXPECT_EQ((sent[{static_cast<int>(TControlRole::Bump), 1}]), 1);
    Press(TControlRole::Bump, 1, false);
    EXPECT_EQ(Level(1), 0);
    sent = Sent();
    EXPECT_EQ((sent[{static_cast<int>(TControlRole::Bump), 1}]), 0);
}

TEST_F(Session, ControlsBeyondTheProfileOrWrongResolutionAreIgnored) {
    Start(Profile(kMotorised));
    Move(3, 100, MIDI_14BIT_MAX); // no fader 3 in the profile
    Move(1, 100, 127);            // wrong resolution for fader 1
    EXPECT_EQ(session_->Ignored(), 2);
    EXPECT_EQ(Level(3), 0);
    EXPECT_EQ(Level(1), 0);
}
