#pragma once
// The desk's state and its rules, with no widget: the 512 channels, the page
// shown, the current fader, where the 32 faders stand, the bumps, and the
// gates. Every change goes through one rule here and is announced once by
// `changed`; the window wires the followers (the host's frame, the network
// outputs, the views) to it. Numbers taken from slots, pages and levels are
// range-checked and raise std::out_of_range before anything changes.

#include <array>
#include <memory>
#include <span>

#include <QObject>
#include <QString>

#include "model/ChannelTable.h"
#include "model/DeskChange.h"
#include "model/DeskState.h"

// Which fader and which bump hold the window's focus (slot 1..32, 0 for
// none). A bump moved by code acts as if the user moved it when it holds
// the focus, and a fader that holds it releases its latched bump.
struct TFocus {
    int FaderSlot = 0;
    int BumpSlot = 0;
};

class TDeskModel : public QObject {
    Q_OBJECT
public:
    explicit TDeskModel(QObject* parent = nullptr);
    ~TDeskModel() override;

    const TChannelTable& Table() const { return *table_; }
    int Page() const { return page_; }                 // 0..15
    int CurrentFader() const { return currentFader_; } // 1..32 once a fader was taken
    // Channel of a slot on the page shown, and of the current fader.
    int ChannelOf(int slot) const { return ChannelOfSlot(page_, slot); }
    int CurrentChannel() const;
    int FaderPosition(int slot) const;
    bool BumpLatched(int slot) const;
    bool BumpLit(int slot) const;
    int SavedLevel(int channel) const;

    // Gates: nothing a person does changes a level before the desk is ready;
    // keys go to the host only while forwarding is on.
    bool Ready() const { return ready_; }
    void SetReady(bool ready);
    bool ForwardKeys() const { return forwardKeys_; }
    void SetForwardKeys(bool forward) { forwardKeys_ = forward; }
    // Bumps latch (toggle) or act while held (momentary).
    bool ToggleBumps() const { return toggleBumps_; }
    void SetToggleBumps(bool toggle) { toggleBumps_ = toggle; }

    // The fader of slot comes to stand at level, moved by a person or by a
    // rule: its channel takes the level (once ready), and a fader holding the
    // focus releases its latched bump.
    void MoveFader(int slot, int level, const TFocus& focus);
    // The fader of slot was taken hold of (focused or pressed).
    void SelectFader(int slot);
    // A momentary bump pressed and let go.
    void PressBump(int slot, const TFocus& focus);
    void ReleaseBump(int slot, const TFocus& focus);
    // The bump of slot latches or unlatches (never latched while bumps are
    // momentary); one that holds the focus then acts.
    void LatchBump(int slot, bool latched, const TFocus& focus);
    // A channel by number takes level (a remote control's channel command):
    // on the page shown through its fader, elsewhere straight into the table.
    void SetChannelLevel(int channel, int level, const TFocus& focus);
    // The fader popup's presets, on the current fader.
    void ApplyPreset(int level, const TFocus& focus);

    // Bulk commands: every channel, or the page's, to level; latched bumps
    // released to 0.
    void SetAllLevels(int level, const TFocus& focus);
    void SetPageLevels(int level, const TFocus& focus);
    void ReleaseAllBumps(const TFocus& focus);

    // Shows page 1..16 once the desk is ready.
    void ShowPage(int page, const TFocus& focus);
    // Loads the page shown into the 32 slots, then sends one frame.
    void RefreshPage(const TFocus& focus);
    // Sends the levels as they are once more.
    void ResendLevels();

    void SetNames(int channel, const QString& line1, const QString& line2);
    // Only the length bytes: the characters behind them are kept and saved.
    void ClearNames(int channel);
    void SetFaderColor(int channel, TColor color);

    // Layouts: every channel back to its defaults, a table read from a file,
    // or the table the desk starts with (without its levels and bumps unless
    // they are kept). Each ends with the page refreshed and the levels sent.
    void NewLayout(const TFocus& focus);
    void LoadLayout(const TChannelTable& table, const TFocus& focus);
    void StartWith(const TChannelTable& table, bool keepLevels, const TFocus& focus);
    // The table is about to be saved.
    void MarkSaved() { table_->SaveMark = 1; }

    // A state as the undo history keeps it, and the desk put back into one:
    // the faders and bumps of the page follow, and the host gets one frame
    // when a level differs (none when only names or colours do).
    void CaptureState(TDeskState& state) const;
    void RestoreState(const TDeskState& state);
    // Levels of any channels written at once, with one frame; the faders of
    // the page follow. A fade writes with `byFade`.
    void WriteLevels(std::span<const TChannelLevel> levels, bool byFade);
    // Name lines and colours of all 512 channels at once.
    void SetAllNamesAndColors(std::span<const TShortString12, DMX_UNIVERSE_SIZE> name1,
                              std::span<const TShortString12, DMX_UNIVERSE_SIZE> name2,
                              std::span<const TColor, DMX_UNIVERSE_SIZE> colors);

    // The network outputs send zeros while on; the levels, the faders and
    // the host's frames stay as they are. Off at every start.
    bool Blackout() const { return blackout_; }
    void SetBlackout(bool on);

    // What a person does as one step, whatever surface it comes from: a rule
    // or a burst of rules between BeginStep and EndStep (they nest; the
    // outermost names the step). Changes outside a step join the burst of
    // their channel until SettleStep says the control was let go.
    void BeginStep(const QString& name);
    void EndStep();
    void SettleStep();
    bool InStep() const { return stepDepth_ > 0; }

signals:
    void changed(const TDeskChange& change);
    void stepMarked(const TStepMark& mark);

private:
    void Announce(unsigned what, int firstChannel, int lastChannel, std::uint32_t slotBits = 0);
    void ReleaseLatchedBump(int slot);
    void BumpLatchChanged(int slot, bool latched, const TFocus& focus);
    void SetBumpLit(int slot, bool lit);
    // A slot shows its channel of the page shown afresh.
    void ShowChannelOnSlot(int slot, const TFocus& focus);
    void ReleaseThenSet(int slot, int level, const TFocus& focus);
    int& SavedLevelOf(int channel);

    std::unique_ptr<TChannelTable> table_;
    int page_ = 0;
    int currentFader_ = 0;
    std::array<int, FADERS_PER_PAGE + 1> position_{}; // slot-indexed from 1
    std::array<bool, FADERS_PER_PAGE + 1> latched_{}; // the bump buttons' values
    std::array<bool, FADERS_PER_PAGE + 1> lit_{};     // bump drawn as on
    std::array<int, DMX_UNIVERSE_SIZE + 1> saved_{};  // channel-indexed from 1
    bool ready_ = false;
    bool forwardKeys_ = false;
    bool toggleBumps_ = false;
    bool blackout_ = false;
    int stepDepth_ = 0;
};

// Holds a step open for its lifetime.
class TStepScope {
public:
    TStepScope(TDeskModel& model, const QString& name) : model_(model) { model_.BeginStep(name); }
    ~TStepScope() { model_.EndStep(); }
    TStepScope(const TStepScope&) = delete;
    TStepScope& operator=(const TStepScope&) = delete;

private:
    TDeskModel& model_;
};
