#include "bank/BankRefresh.h"

#include "bank/BankWidgets.h"
#include "model/Captions.h"
#include "model/PageColors.h"

TColor BumpColor(const TDeskState& state, bool down) {
    return down ? state.ColorOn : state.ColorOff;
}

void RefreshFaders(TDeskState& state, const TSendThenRecolour& send) {
    TChannelTable& table = state.Table;
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int c = state.ChannelOf(slot);
        // A slot whose widgets could not be built is left out; the rest work.
        // Each fader drawn once, when its picture is complete; the window
        // shows all 32 in one pass.
        if (TFaders* f = state.FaderAt(slot)) {
            f->RedrawAfter([&] {
                f->SetTag(c);
                f->SetDigit(table.LevelOf(c));
                f->SignalSettings()->SetName1(CaptionText(table.Name1Of(c)));
                f->SignalSettings()->SetName2(CaptionText(table.Name2Of(c)));
                f->SetColorNonFocus(table.FaderColorOf(c));
            });
        }
        if (TFaderButtons* b = state.FaderButtonAt(slot)) {
            b->SetTag(c);
            b->SetCaption(QString::number(c));
            b->SetValue(table.BumpOf(c) != 0);
            b->SetColor(BumpColor(state, b->Value()));
        }
    }
    send();
}

void UpdatePageColors(TDeskState& state) {
    const auto colors =
        PageColors(state.Table, state.CurrentPage,
                   {state.ColorOff, state.ColorOn, state.ColorOffLive, state.ColorOnLive});
    for (int p = 1; p <= PAGE_COUNT; ++p)
        if (TPageButtons* b = state.PageButtonAt(p))
            b->SetColor(colors[static_cast<std::size_t>(p)]);
}

void PageButtonClick(TDeskState& state, const TSendThenRecolour& send, int page) {
    if (state.Ready) {
        state.CurrentPage = CheckPage(page - 1);
        RefreshFaders(state, send);
    }
    UpdatePageColors(state);
}
