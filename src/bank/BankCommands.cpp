#include "bank/BankCommands.h"

#include <algorithm>

#include "bank/BankWidgets.h"

namespace {

// Releases the slot's bump button, then puts its fader to level. A focused
// latched button puts its fader back to the saved level as it is released,
// so the fader is set afterwards and shows what the table holds.
void ReleaseThenSet(TDeskState& state, int slot, int level) {
    if (TFaderButtons* b = state.FaderButtonAt(slot)) b->SetValue(false);
    if (TFaders* f = state.FaderAt(slot)) f->SetDigit(CheckLevel(level));
}

} // namespace

void AllFadersTo(TDeskState& state, const TSendThenRecolour& send, int level) {
    const auto v = static_cast<std::uint8_t>(CheckLevel(level));
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        ReleaseThenSet(state, slot, v);
    std::fill(std::begin(state.Table.Level), std::end(state.Table.Level), v);
    send();
}

void PageFadersTo(TDeskState& state, const TSendThenRecolour& send, int level) {
    const auto v = static_cast<std::uint8_t>(CheckLevel(level));
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        ReleaseThenSet(state, slot, v);
        state.Table.LevelOf(state.ChannelOf(slot)) = v;
    }
    send();
}

void ReleaseAllToggledBumps(TDeskState& state, const TSendThenRecolour& send) {
    TChannelTable& table = state.Table;
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c) {
        if (table.BumpOf(c) == 0) continue;
        table.BumpOf(c) = 0;
        table.LevelOf(c) = 0;
    }
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int c = state.ChannelOf(slot);
        if (TFaderButtons* b = state.FaderButtonAt(slot)) {
            b->SetValue(false);
            b->SetColor(state.ColorOff);
        }
        if (TFaders* f = state.FaderAt(slot)) f->SetDigit(table.LevelOf(c));
    }
    send();
}

void ApplyDisplayMode(TDeskState& state, bool digits) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        TFaders* f = state.FaderAt(slot);
        if (f == nullptr) continue;
        f->SignalSettings()->SetValueTo(digits ? 255.0f : 100.0f);
        f->SignalSettings()->SetValueUnit(digits ? QString() : QStringLiteral("%"));
        // The slider keeps its old value across a change of mapping; a desk
        // must not show a wrong level, so the value follows the digit again
        // (same digit: no event, no frame) and the read-out is redrawn.
        f->SetValue(f->SignalSettings()->DigitToValue(f->Digit()));
        f->UpdateValueDisplay();
        f->Refresh();
    }
}

void ApplyBumpType(TDeskState& state, bool toggle) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TFaderButtons* b = state.FaderButtonAt(slot))
            b->SetButtonType(toggle ? ToxButtonType::oxbToggle : ToxButtonType::oxbCommand);
}

void ApplyGradientLook(TDeskState& state, bool gradient) {
    const auto style =
        gradient ? ToxBackgroundStyle::oxbVertGradient : ToxBackgroundStyle::oxbSolid;
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        if (TFaders* f = state.FaderAt(slot)) {
            f->BevelOuter()->SurfaceGrad()->SetVisible(gradient);
            f->Refresh();
        }
    }
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TFaderButtons* b = state.FaderButtonAt(slot)) b->Background().SetStyle(style);
    for (int page = 1; page <= PAGE_COUNT; ++page)
        if (TPageButtons* b = state.PageButtonAt(page)) b->Background().SetStyle(style);
}

void SetFadersKeyboard(TDeskState& state, bool enabled) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TFaders* f = state.FaderAt(slot)) f->SetEnableKeyboard(enabled);
}

void ClearLevelsAndBumps(TChannelTable& table) {
    std::fill(std::begin(table.Level), std::end(table.Level), std::uint8_t{0});
    std::fill(std::begin(table.Bump), std::end(table.Bump), std::uint8_t{0});
}
