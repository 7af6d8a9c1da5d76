#include "model/DeskModel.h"

#include <algorithm>
#include <cstring>

#include "model/Captions.h"

namespace {

std::size_t Index(int checked) {
    return static_cast<std::size_t>(checked);
}

} // namespace

TDeskModel::TDeskModel(QObject* parent)
    : QObject(parent), table_(std::make_unique<TChannelTable>()) {
    ClearChannels(*table_);
}

TDeskModel::~TDeskModel() = default;

int TDeskModel::CurrentChannel() const {
    return ChannelOfSlot(page_, CheckSlot(currentFader_));
}

int TDeskModel::FaderPosition(int slot) const {
    return position_[Index(CheckSlot(slot))];
}

bool TDeskModel::BumpLatched(int slot) const {
    return latched_[Index(CheckSlot(slot))];
}

bool TDeskModel::BumpLit(int slot) const {
    return lit_[Index(CheckSlot(slot))];
}

int TDeskModel::SavedLevel(int channel) const {
    return saved_[Index(CheckChannel(channel))];
}

int& TDeskModel::SavedLevelOf(int channel) {
    return saved_[Index(CheckChannel(channel))];
}

void TDeskModel::Announce(unsigned what, int firstChannel, int lastChannel,
                          std::uint32_t slotBits) {
    TDeskChange change;
    change.What = what;
    change.FirstChannel = firstChannel;
    change.LastChannel = lastChannel;
    change.Slots = slotBits;
    emit changed(change);
}

void TDeskModel::SetReady(bool ready) {
    if (ready == ready_) return;
    ready_ = ready;
    Announce(TDeskChange::Readiness, 0, 0);
}

void TDeskModel::MoveFader(int slot, int level, const TFocus& focus) {
    const auto s = Index(CheckSlot(slot));
    CheckLevel(level);
    if (position_[s] == level) return;
    position_[s] = level;
    const std::uint32_t bit = TDeskChange::SlotBit(slot);
    if (!ready_) {
        Announce(TDeskChange::FaderPositions, 0, 0, bit);
        return;
    }
    const int c = ChannelOf(slot);
    table_->LevelOf(c) = static_cast<std::uint8_t>(level);
    Announce(TDeskChange::Levels | TDeskChange::FaderPositions, c, c, bit);
    if (focus.FaderSlot == slot) ReleaseLatchedBump(slot);
}

void TDeskModel::SetChannelLevel(int channel, int level, const TFocus& focus) {
    const int c = CheckChannel(channel);
    CheckLevel(level);
    const int slot = c - page_ * FADERS_PER_PAGE;
    if (slot >= 1 && slot <= FADERS_PER_PAGE) {
        MoveFader(slot, level, focus);
        return;
    }
    if (!ready_ || table_->LevelOf(c) == level) return;
    table_->LevelOf(c) = static_cast<std::uint8_t>(level);
    Announce(TDeskChange::Levels, c, c);
}

void TDeskModel::ReleaseLatchedBump(int slot) {
    const auto s = Index(slot);
    if (!latched_[s]) return;
    latched_[s] = false;
    lit_[s] = false;
    // The table follows the button: a later refresh must not latch it again.
    const int c = ChannelOf(slot);
    table_->BumpOf(c) = 0;
    Announce(TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
}

void TDeskModel::LatchBump(int slot, bool latched, const TFocus& focus) {
    const auto s = Index(CheckSlot(slot));
    if (!toggleBumps_) latched = false;
    if (latched_[s] == latched) return;
    latched_[s] = latched;
    const int c = ChannelOf(slot);
    Announce(TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
    BumpLatchChanged(slot, latched, focus);
}

void TDeskModel::BumpLatchChanged(int slot, bool latched, const TFocus& focus) {
    // Only the bump a person works holds the focus; one changed by code
    // without it just follows.
    if (!ready_ || focus.BumpSlot != slot) return;
    const int c = ChannelOf(slot);
    const auto s = Index(slot);
    if (latched) {
        SavedLevelOf(c) = table_->LevelOf(c);
        MoveFader(slot, DMX_MAX_LEVEL, focus);
        table_->BumpOf(c) = 1;
    } else {
        MoveFader(slot, SavedLevelOf(c), focus);
        table_->BumpOf(c) = 0;
    }
    lit_[s] = latched;
    Announce(TDeskChange::Levels | TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
}

void TDeskModel::SetBumpLit(int slot, bool lit) {
    const auto s = Index(slot);
    if (lit_[s] == lit) return;
    lit_[s] = lit;
    const int c = ChannelOf(slot);
    Announce(TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
}

void TDeskModel::SelectFader(int slot) {
    currentFader_ = CheckSlot(slot);
}

void TDeskModel::PressBump(int slot, const TFocus& focus) {
    if (!ready_ || toggleBumps_) return;
    const int c = ChannelOf(slot);
    SavedLevelOf(c) = table_->LevelOf(c);
    MoveFader(slot, DMX_MAX_LEVEL, focus);
    lit_[Index(slot)] = true;
    Announce(TDeskChange::Levels | TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
}

void TDeskModel::ReleaseBump(int slot, const TFocus& focus) {
    if (!ready_ || toggleBumps_) return;
    const int c = ChannelOf(slot);
    MoveFader(slot, SavedLevelOf(c), focus);
    lit_[Index(slot)] = false;
    Announce(TDeskChange::Levels | TDeskChange::Bumps, c, c, TDeskChange::SlotBit(slot));
    // The fader takes the focus back from its bump.
    currentFader_ = slot;
}

void TDeskModel::ApplyPreset(int level, const TFocus& focus) {
    MoveFader(CheckSlot(currentFader_), CheckLevel(level), focus);
}

// A latched bump that holds the focus puts its fader back to the saved level
// as it is released, so the fader is set afterwards and shows the new level.
void TDeskModel::ReleaseThenSet(int slot, int level, const TFocus& focus) {
    LatchBump(slot, false, focus);
    MoveFader(slot, level, focus);
}

void TDeskModel::SetAllLevels(int level, const TFocus& focus) {
    const auto v = static_cast<std::uint8_t>(CheckLevel(level));
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        ReleaseThenSet(slot, v, focus);
    std::fill(std::begin(table_->Level), std::end(table_->Level), v);
    Announce(TDeskChange::Levels, 1, DMX_UNIVERSE_SIZE);
}

void TDeskModel::SetPageLevels(int level, const TFocus& focus) {
    const auto v = static_cast<std::uint8_t>(CheckLevel(level));
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        ReleaseThenSet(slot, v, focus);
        table_->LevelOf(ChannelOf(slot)) = v;
    }
    Announce(TDeskChange::Levels, ChannelOf(1), ChannelOf(FADERS_PER_PAGE));
}

void TDeskModel::ReleaseAllBumps(const TFocus& focus) {
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c) {
        if (table_->BumpOf(c) == 0) continue;
        table_->BumpOf(c) = 0;
        table_->LevelOf(c) = 0;
    }
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        LatchBump(slot, false, focus);
        SetBumpLit(slot, false);
        MoveFader(slot, table_->LevelOf(ChannelOf(slot)), focus);
    }
    Announce(TDeskChange::Levels, 1, DMX_UNIVERSE_SIZE);
}

void TDeskModel::ShowChannelOnSlot(int slot, const TFocus& focus) {
    const int c = ChannelOf(slot);
    const auto s = Index(slot);
    const int level = table_->LevelOf(c);
    // What the slot shows changes as one, so a view draws it once.
    unsigned what = TDeskChange::SlotsShown | TDeskChange::FaderPositions;
    const bool moved = position_[s] != level;
    position_[s] = level;
    if (moved && ready_) what |= TDeskChange::Levels;
    if (moved && ready_) what |= TDeskChange::LevelsKept;
    Announce(what, c, c, TDeskChange::SlotBit(slot));
    if (moved && ready_ && focus.FaderSlot == slot) ReleaseLatchedBump(slot);
    LatchBump(slot, table_->BumpOf(c) != 0, focus);
    SetBumpLit(slot, latched_[s]);
}

void TDeskModel::RefreshPage(const TFocus& focus) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        ShowChannelOnSlot(slot, focus);
    ResendLevels();
}

void TDeskModel::ResendLevels() {
    Announce(TDeskChange::Levels | TDeskChange::LevelsKept, 1, DMX_UNIVERSE_SIZE);
}

void TDeskModel::ShowPage(int page, const TFocus& focus) {
    if (!ready_) return;
    page_ = CheckPage(page - 1);
    Announce(TDeskChange::Page, ChannelOf(1), ChannelOf(FADERS_PER_PAGE));
    RefreshPage(focus);
}

void TDeskModel::SetNames(int channel, const QString& line1, const QString& line2) {
    const int c = CheckChannel(channel);
    StoreCaption(table_->Name1Of(c), line1);
    StoreCaption(table_->Name2Of(c), line2);
    Announce(TDeskChange::Names, c, c);
}

void TDeskModel::ClearNames(int channel) {
    const int c = CheckChannel(channel);
    table_->Name1Of(c).Length = 0;
    table_->Name2Of(c).Length = 0;
    Announce(TDeskChange::Names, c, c);
}

void TDeskModel::SetFaderColor(int channel, TColor color) {
    const int c = CheckChannel(channel);
    table_->FaderColorOf(c) = color;
    Announce(TDeskChange::Colors, c, c);
}

void TDeskModel::NewLayout(const TFocus& focus) {
    SetReady(false);
    ClearChannels(*table_);
    RefreshPage(focus);
    SetReady(true);
    ResendLevels();
}

void TDeskModel::LoadLayout(const TChannelTable& table, const TFocus& focus) {
    SetReady(false);
    *table_ = table;
    RefreshPage(focus);
    ResendLevels();
    SetReady(true);
}

void TDeskModel::StartWith(const TChannelTable& table, bool keepLevels, const TFocus& focus) {
    *table_ = table;
    if (!keepLevels) {
        std::fill(std::begin(table_->Level), std::end(table_->Level), std::uint8_t{0});
        std::fill(std::begin(table_->Bump), std::end(table_->Bump), std::uint8_t{0});
    }
    RefreshPage(focus);
    SetReady(true);
}

void TDeskModel::CaptureState(TDeskState& state) const {
    state.Table = *table_;
    state.Table.SaveMark = 0;
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c)
        state.SavedLevels[Index(c - 1)] = static_cast<std::uint8_t>(saved_[Index(c)]);
}

void TDeskModel::RestoreState(const TDeskState& state) {
    const bool levels = std::memcmp(table_->Level, state.Table.Level, sizeof table_->Level) != 0;
    // Whether the table was saved is a fact about the file, not a state to undo.
    const std::int32_t saveMark = table_->SaveMark;
    *table_ = state.Table;
    table_->SaveMark = saveMark;
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c)
        saved_[Index(c)] = state.SavedLevels[Index(c - 1)];
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int c = ChannelOf(slot);
        const auto s = Index(slot);
        position_[s] = table_->LevelOf(c);
        latched_[s] = toggleBumps_ && table_->BumpOf(c) != 0;
        lit_[s] = latched_[s];
    }
    unsigned what = TDeskChange::SlotsShown | TDeskChange::FaderPositions | TDeskChange::Bumps |
                    TDeskChange::Names | TDeskChange::Colors;
    if (levels && ready_) what |= TDeskChange::Levels;
    Announce(what, 1, DMX_UNIVERSE_SIZE, TDeskChange::AllSlots);
}

void TDeskModel::WriteLevels(std::span<const TChannelLevel> levels, bool byFade) {
    if (!ready_ || levels.empty()) return;
    for (const TChannelLevel& l : levels) {
        CheckChannel(l.Channel);
        CheckLevel(l.Level);
    }
    int first = DMX_UNIVERSE_SIZE;
    int last = 1;
    std::uint32_t slotBits = 0;
    for (const TChannelLevel& l : levels) {
        table_->LevelOf(l.Channel) = l.Level;
        first = std::min(first, l.Channel);
        last = std::max(last, l.Channel);
        if (const int slot = SlotOfChannel(page_, l.Channel); slot != 0) {
            position_[Index(slot)] = l.Level;
            slotBits |= TDeskChange::SlotBit(slot);
        }
    }
    unsigned what = TDeskChange::Levels | TDeskChange::FaderPositions;
    if (byFade) what |= TDeskChange::Faded;
    Announce(what, first, last, slotBits);
}

void TDeskModel::SetAllNamesAndColors(std::span<const TShortString12, DMX_UNIVERSE_SIZE> name1,
                                      std::span<const TShortString12, DMX_UNIVERSE_SIZE> name2,
                                      std::span<const TColor, DMX_UNIVERSE_SIZE> colors) {
    std::copy(name1.begin(), name1.end(), std::begin(table_->Name1));
    std::copy(name2.begin(), name2.end(), std::begin(table_->Name2));
    std::copy(colors.begin(), colors.end(), std::begin(table_->FaderColor));
    Announce(TDeskChange::Names | TDeskChange::Colors, 1, DMX_UNIVERSE_SIZE);
}

void TDeskModel::SetBlackout(bool on) {
    if (on == blackout_) return;
    blackout_ = on;
    Announce(TDeskChange::Blackout, 0, 0);
}

void TDeskModel::BeginStep(const QString& name) {
    if (stepDepth_++ == 0) emit stepMarked({TStepMark::Begin, name});
}

void TDeskModel::EndStep() {
    if (stepDepth_ == 0) return;
    if (--stepDepth_ == 0) emit stepMarked({TStepMark::End, {}});
}

void TDeskModel::SettleStep() {
    if (stepDepth_ == 0) emit stepMarked({TStepMark::Settle, {}});
}
