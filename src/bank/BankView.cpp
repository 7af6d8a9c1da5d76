#include "bank/BankView.h"

#include <algorithm>
#include <bit>

#include <QApplication>
#include <QScopedValueRollback>

#include "bank/BumpButton.h"
#include "bank/Fader.h"
#include "bank/PageButton.h"
#include "base/Guarded.h"
#include "base/WindowFocus.h"
#include "model/Captions.h"

namespace {

constexpr TPagePalette kPalette{clGray, clSilver, 0x0080FF, clYellow};

// The slot of a widget of this bank, 0 for any other.
template <typename T>
int SlotHolding(const std::array<T*, FADERS_PER_PAGE + 1>& widgets, const QWidget* candidate) {
    const auto* widget = dynamic_cast<const T*>(candidate);
    if (widget == nullptr) return 0;
    const int slot = widget->Slot();
    const bool ours =
        slot >= 1 && slot <= FADERS_PER_PAGE && widgets[static_cast<std::size_t>(slot)] == widget;
    return ours ? slot : 0;
}

} // namespace

TBankView::TBankView(TDeskModel& model, QWidget* window)
    : QObject(window), model_(model), window_(window), palette_(kPalette) {
    connect(&model_, &TDeskModel::changed, this, &TBankView::Follow);
}

template <typename F>
void TBankView::Guarded(F&& action) {
    RunGuarded(window_, std::forward<F>(action));
}

void TBankView::BuildFaders(const TBankPanels& panels, bool gradient, TBankFactory& factory) {
    CreateFaders(widgets_, panels, gradient, palette_.Off, factory);
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        Connect(slot);
}

QSize TBankView::PlaceFaders(const TBankPanels& panels) {
    return ::PlaceFaders(widgets_, panels);
}

void TBankView::BuildPageButtons(const TBankPanels& panels, TBankFactory& factory) {
    pagePanel_ = panels.PanelPage;
    CreatePageButtons(widgets_, panels, palette_.Off, factory);
    for (int page = 1; page <= PAGE_COUNT; ++page)
        if (TPageButton* b = PageButtonAt(page))
            connect(b, &TPageButton::clicked, this, [this, page] { PageClicked(page); });
}

void TBankView::Connect(int slot) {
    if (TFader* f = FaderAt(slot)) {
        connect(f, &TFader::digitChanged, this, [this, slot](int digit) {
            // A fader the view itself moves to the model's position is no news.
            if (showing_) return;
            Guarded([&] { model_.MoveFader(slot, digit, Focus()); });
        });
        const auto select = [this, slot] { Guarded([&] { model_.SelectFader(slot); }); };
        connect(f, &TFader::focusEntered, this, select);
        connect(f, &TFader::mousePressed, this, select);
        // A drag or a held key ends as one step of the person's.
        connect(f, &TFader::changeFinished, this, [this] { model_.SettleStep(); });
    }
    if (TBumpButton* b = BumpAt(slot)) {
        connect(b, &TBumpButton::valueChanged, this, [this, slot] { BumpToggled(slot); });
        connect(b, &TBumpButton::mousePressed, this, [this, slot] { BumpPressed(slot); });
        connect(b, &TBumpButton::mouseReleased, this, [this, slot] { BumpReleased(slot); });
    }
}

void TBankView::InitialiseSlots(bool enableKeyboard) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        if (TFader* f = FaderAt(slot)) {
            f->Refresh();
            f->SetEnableKeyboard(enableKeyboard);
        }
        if (TBumpButton* b = BumpAt(slot)) b->SetCaption(QString::number(model_.ChannelOf(slot)));
    }
}

TFocus TBankView::Focus() const {
    // The focus a control holds in its window, also while the window is
    // inactive (see HoldsWindowFocus).
    TFocus focus;
    for (const QWidget* candidate :
         {QApplication::focusWidget(), window_ != nullptr ? window_->focusWidget() : nullptr}) {
        if (focus.FaderSlot == 0) focus.FaderSlot = SlotHolding(widgets_.Faders, candidate);
        if (focus.BumpSlot == 0) focus.BumpSlot = SlotHolding(widgets_.Bumps, candidate);
    }
    return focus;
}

void TBankView::BumpPressed(int slot) {
    Guarded([&] {
        if (!model_.Ready() || model_.ToggleBumps()) return;
        BumpAt(slot)->setFocus(Qt::MouseFocusReason);
        model_.PressBump(slot, Focus());
    });
}

void TBankView::BumpReleased(int slot) {
    Guarded([&] {
        if (!model_.Ready() || model_.ToggleBumps()) return;
        model_.ReleaseBump(slot, Focus());
        model_.SettleStep();
        // The fader takes the keyboard back from its bump.
        if (TFader* f = FaderAt(slot)) f->setFocus(Qt::MouseFocusReason);
    });
}

void TBankView::BumpToggled(int slot) {
    Guarded([&] {
        model_.LatchBump(slot, BumpAt(slot)->Value(), Focus());
        model_.SettleStep();
    });
}

void TBankView::PageClicked(int page) {
    Guarded([&] {
        // The focus leaves the bank whether or not the page may change.
        if (pagePanel_ != nullptr) pagePanel_->setFocus(Qt::OtherFocusReason);
        model_.ShowPage(page, Focus());
    });
    RecolorPages();
}

void TBankView::Follow(const TDeskChange& change) {
    if (change.Has(TDeskChange::Page)) {
        if (TPageButton* b = PageButtonAt(model_.Page() + 1); b != nullptr && !b->Value())
            b->SetValue(true);
    }
    const bool bySlot = change.Has(TDeskChange::FaderPositions | TDeskChange::SlotsShown);
    const bool channels = change.Has(TDeskChange::Names | TDeskChange::Colors);
    std::uint32_t visit = bySlot ? change.Slots : 0;
    if (channels) {
        // The channels of the change that the page shows.
        const int first = std::max(change.FirstChannel, model_.ChannelOf(1));
        const int last = std::min(change.LastChannel, model_.ChannelOf(FADERS_PER_PAGE));
        for (int c = first; c <= last; ++c)
            visit |= TDeskChange::SlotBit(c - model_.ChannelOf(1) + 1);
    }
    for (; visit != 0; visit &= visit - 1) {
        const int slot = std::countr_zero(visit) + 1;
        const bool inChannels = channels && change.TouchesChannel(model_.ChannelOf(slot));
        const bool inSlots = bySlot && change.TouchesSlot(slot);
        const bool shown = inSlots && change.Has(TDeskChange::SlotsShown);
        ShowSlot(slot, inSlots, shown || (inChannels && change.Has(TDeskChange::Names)),
                 shown || (inChannels && change.Has(TDeskChange::Colors)), shown);
    }
    if (change.Has(TDeskChange::Bumps))
        for (std::uint32_t bumps = change.Slots; bumps != 0; bumps &= bumps - 1)
            ShowBump(std::countr_zero(bumps) + 1);
    if (change.Has(TDeskChange::Levels | TDeskChange::Page)) RecolorPages();
}

void TBankView::ShowSlot(int slot, bool position, bool names, bool colors, bool shown) {
    const int c = model_.ChannelOf(slot);
    const QScopedValueRollback<bool> showing(showing_, true);
    if (TFader* f = FaderAt(slot)) {
        const TChannelTable& table = model_.Table();
        if (names || colors) {
            // Drawn once, when its picture is complete; the window shows all
            // faders of a page in one pass.
            f->RedrawAfter([&] {
                if (position) f->SetDigit(model_.FaderPosition(slot));
                if (names) {
                    f->SignalSettings()->SetName1(CaptionText(table.Name1Of(c)));
                    f->SignalSettings()->SetName2(CaptionText(table.Name2Of(c)));
                }
                if (colors) f->SetColorNonFocus(table.FaderColorOf(c));
            });
        } else if (position && f->Digit() != model_.FaderPosition(slot)) {
            f->SetDigit(model_.FaderPosition(slot));
            f->Refresh();
        }
    }
    if (shown)
        if (TBumpButton* b = BumpAt(slot)) b->SetCaption(QString::number(c));
}

void TBankView::ShowBump(int slot) {
    TBumpButton* b = BumpAt(slot);
    if (b == nullptr) return;
    b->SetValue(model_.BumpLatched(slot));
    b->SetColor(BumpColor(model_.BumpLit(slot)));
}

void TBankView::RecolorPages() {
    const auto colors = PageColors(model_.Table(), model_.Page(), palette_);
    for (int page = 1; page <= PAGE_COUNT; ++page)
        if (TPageButton* b = PageButtonAt(page))
            b->SetColor(colors[static_cast<std::size_t>(page)]);
}

void TBankView::ShowDigits(bool digits) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        TFader* f = FaderAt(slot);
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

void TBankView::SetBumpType(bool toggle) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TBumpButton* b = BumpAt(slot))
            b->SetButtonType(toggle ? ToxButtonType::oxbToggle : ToxButtonType::oxbCommand);
}

void TBankView::ShowGradient(bool gradient) {
    const auto style =
        gradient ? ToxBackgroundStyle::oxbVertGradient : ToxBackgroundStyle::oxbSolid;
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        if (TFader* f = FaderAt(slot)) {
            f->BevelOuter()->SurfaceGrad()->SetVisible(gradient);
            f->Refresh();
        }
    }
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TBumpButton* b = BumpAt(slot)) b->Background().SetStyle(style);
    for (int page = 1; page <= PAGE_COUNT; ++page)
        if (TPageButton* b = PageButtonAt(page)) b->Background().SetStyle(style);
}

void TBankView::EnableFaderKeys(bool enabled) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot)
        if (TFader* f = FaderAt(slot)) f->SetEnableKeyboard(enabled);
}
