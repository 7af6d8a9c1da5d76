#include "surfaces/SurfaceSession.h"

#include <algorithm>

#include "model/DeskModel.h"
#include "surfaces/ValueScale.h"

TSurfaceShape ShapeOf(const TSurfaceProfile& profile) {
    TSurfaceShape shape;
    shape.Faders = std::clamp(profile.Faders, 1, FADERS_PER_PAGE);
    shape.Motorised = profile.Motorised;
    for (const auto& c : profile.Controls) {
        if (c.Index < 1) continue;
        if (c.Role == TControlRole::Fader && c.Index <= FADERS_PER_PAGE)
            shape.FaderMax[static_cast<std::size_t>(c.Index)] = c.Address.Max();
        if (c.Role == TControlRole::Bump && c.Index <= FADERS_PER_PAGE)
            shape.Bumps[static_cast<std::size_t>(c.Index)] = true;
        if (c.Role == TControlRole::Page && c.Index <= PAGE_COUNT)
            shape.Pages[static_cast<std::size_t>(c.Index)] = true;
    }
    return shape;
}

TSurfaceSession::TSurfaceSession(TDeskModel& model, TSurfaceShape shape, TFocusSource focus,
                                 int intervalMs, int holdMs)
    : model_(model), shape_(shape), focus_(std::move(focus)) {
    shape_.Faders = std::clamp(shape_.Faders, 1, FADERS_PER_PAGE);
    applied_.fill(-1);
    for (std::size_t i = 0; i < faderGate_.size(); ++i)
        faderGate_[i] = TFeedbackGate(intervalMs, holdMs, shape_.FaderMax[i]);
    bumpGate_.fill(TFeedbackGate(intervalMs, 0));
    pageGate_.fill(TFeedbackGate(intervalMs, 0));
}

TFocus TSurfaceSession::Focus() const {
    return focus_ ? focus_() : TFocus{};
}

int TSurfaceSession::SlotOf(int index) const {
    if (index < 1 || index > shape_.Faders) return 0;
    const int slot = offset_ + index;
    return slot <= FADERS_PER_PAGE ? slot : 0;
}

int TSurfaceSession::IndexOf(int slot) const {
    const int index = slot - offset_;
    return index >= 1 && index <= shape_.Faders ? index : 0;
}

std::optional<int> TSurfaceSession::Marker(int slot) const {
    const int index = IndexOf(slot);
    if (index == 0 || shape_.Motorised || shape_.FaderMax[static_cast<std::size_t>(index)] == 0)
        return std::nullopt;
    return takeover_[static_cast<std::size_t>(index)].Marker();
}

bool TSurfaceSession::Apply(const TSurfaceInput& input, TMillis now) {
    switch (input.Role) {
    case TControlRole::Fader: {
        const int slot = SlotOf(input.Index);
        const auto i = static_cast<std::size_t>(input.Index);
        if (slot == 0 || shape_.FaderMax[i] == 0 || input.Max != shape_.FaderMax[i]) {
            ++ignored_;
            return false;
        }
        const int value = std::clamp(input.Value, 0, input.Max);
        if (shape_.HoldsEcho) faderGate_[i].Moved(now, value);
        const auto markerBefore = Marker(slot);
        const bool holds =
            shape_.Motorised ||
            takeover_[i].Move(value, input.Max, model_.FaderPosition(slot), input.Low, input.High);
        if (holds) {
            const int level = LevelFromValue(value, input.Max);
            applied_[i] = level;
            MoveOwnFader(slot, level);
        }
        return Marker(slot) != markerBefore;
    }
    case TControlRole::Channel: {
        const int slot = input.Index - model_.Page() * FADERS_PER_PAGE;
        const int level = std::clamp(input.Value, 0, DMX_MAX_LEVEL);
        if (slot < 1 || slot > FADERS_PER_PAGE) {
            model_.SetChannelLevel(input.Index, level, TFocus{});
            return false;
        }
        const int index = IndexOf(slot);
        if (index != 0 && shape_.HoldsEcho) {
            faderGate_[static_cast<std::size_t>(index)].Moved(
                now, ValueFromLevel(level, shape_.FaderMax[static_cast<std::size_t>(index)]));
        }
        if (index != 0) applied_[static_cast<std::size_t>(index)] = level;
        MoveOwnFader(slot, level);
        return false;
    }
    case TControlRole::Bump: {
        const int slot = SlotOf(input.Index);
        if (slot == 0) {
            ++ignored_;
            return false;
        }
        TFocus focus = Focus();
        focus.BumpSlot = slot; // the surface's bump acts as if a person pressed it
        if (focus.FaderSlot == slot) focus.FaderSlot = 0;
        if (model_.ToggleBumps()) {
            if (input.Pressed) model_.LatchBump(slot, !model_.BumpLatched(slot), focus);
        } else if (input.Pressed) {
            model_.PressBump(slot, focus);
        } else {
            model_.ReleaseBump(slot, focus);
        }
        return false;
    }
    case TControlRole::Page:
        if (input.Pressed && input.Index >= 1 && input.Index <= PAGE_COUNT)
            model_.ShowPage(input.Index, Focus());
        return false;
    case TControlRole::PageNext:
    case TControlRole::PagePrevious: {
        if (!input.Pressed) return false;
        const int page = model_.Page() + 1 + (input.Role == TControlRole::PageNext ? 1 : -1);
        if (page >= 1 && page <= PAGE_COUNT) model_.ShowPage(page, Focus());
        return false;
    }
    case TControlRole::BankLeft:
    case TControlRole::BankRight:
        if (!input.Pressed) return false;
        ChangeBank(input.Role == TControlRole::BankRight ? 1 : -1);
        return true;
    }
    return false;
}

void TSurfaceSession::MoveOwnFader(int slot, int level) {
    ownSlot_ = slot;
    struct Clear {
        int& own;
        ~Clear() { own = 0; }
    } clear{ownSlot_};
    model_.MoveFader(slot, level, TFocus{});
}

void TSurfaceSession::ChangeBank(int step) {
    const int next = offset_ + step * shape_.Faders;
    if (next < 0 || next >= FADERS_PER_PAGE) return;
    offset_ = next;
    ReleaseAll(true);
}

void TSurfaceSession::ReleaseAll(bool urgent) {
    for (int i = 1; i <= shape_.Faders; ++i) {
        takeover_[static_cast<std::size_t>(i)].Release();
        applied_[static_cast<std::size_t>(i)] = -1;
        OfferFader(i, urgent);
        OfferBump(i);
    }
}

void TSurfaceSession::OfferFader(int index, bool urgent) {
    const auto i = static_cast<std::size_t>(index);
    const int slot = SlotOf(index);
    if (slot == 0 || shape_.FaderMax[i] == 0) return;
    faderGate_[i].Offer(ValueFromLevel(model_.FaderPosition(slot), shape_.FaderMax[i]), urgent);
}

void TSurfaceSession::OfferBump(int index) {
    const int slot = SlotOf(index);
    if (slot == 0 || !shape_.Bumps[static_cast<std::size_t>(index)]) return;
    bumpGate_[static_cast<std::size_t>(index)].Offer(model_.BumpLit(slot) ? 1 : 0, true);
}

void TSurfaceSession::OfferPages() {
    for (int p = 1; p <= PAGE_COUNT; ++p)
        if (shape_.Pages[static_cast<std::size_t>(p)])
            pageGate_[static_cast<std::size_t>(p)].Offer(model_.Page() + 1 == p ? 1 : 0, true);
}

bool TSurfaceSession::Follow(const TDeskChange& change, TMillis now) {
    (void)now;
    bool markers = false;
    if (change.Has(TDeskChange::Page)) {
        OfferPages();
        ReleaseAll(true);
        markers = true;
    }
    for (int index = 1; index <= shape_.Faders; ++index) {
        const int slot = SlotOf(index);
        if (slot == 0) continue;
        const auto i = static_cast<std::size_t>(index);
        const bool shown = change.Has(TDeskChange::SlotsShown) && change.TouchesSlot(slot);
        const bool moved =
            (change.Has(TDeskChange::FaderPositions) && change.TouchesSlot(slot)) ||
            (change.Has(TDeskChange::Levels) && change.TouchesChannel(model_.ChannelOf(slot)));
        if (shown || moved) {
            // A level this fader did not give: it has to catch it again.
            if (slot != ownSlot_ && model_.FaderPosition(slot) != applied_[i]) {
                if (takeover_[i].Holds()) markers = true;
                takeover_[i].Release();
                applied_[i] = -1;
            }
            OfferFader(index, shown);
        }
        if ((change.Has(TDeskChange::Bumps) || shown) && change.TouchesSlot(slot)) OfferBump(index);
    }
    return markers;
}

void TSurfaceSession::Resync() {
    for (auto& g : faderGate_)
        g.Forget();
    for (auto& g : bumpGate_)
        g.Forget();
    for (auto& g : pageGate_)
        g.Forget();
    ReleaseAll(true);
    OfferPages();
}

std::vector<TFeedback> TSurfaceSession::TakeDue(TMillis now) {
    std::vector<TFeedback> out;
    for (int i = 1; i <= shape_.Faders; ++i) {
        const auto s = static_cast<std::size_t>(i);
        if (const auto v = faderGate_[s].Take(now)) out.push_back({TControlRole::Fader, i, *v});
        if (const auto v = bumpGate_[s].Take(now)) out.push_back({TControlRole::Bump, i, *v});
    }
    for (int p = 1; p <= PAGE_COUNT; ++p)
        if (const auto v = pageGate_[static_cast<std::size_t>(p)].Take(now))
            out.push_back({TControlRole::Page, p, *v});
    return out;
}

std::optional<TMillis> TSurfaceSession::NextDue() const {
    std::optional<TMillis> due;
    auto consider = [&](const TFeedbackGate& g) {
        if (const auto d = g.NextDue(); d && (!due || *d < *due)) due = d;
    };
    for (const auto& g : faderGate_)
        consider(g);
    for (const auto& g : bumpGate_)
        consider(g);
    for (const auto& g : pageGate_)
        consider(g);
    return due;
}
