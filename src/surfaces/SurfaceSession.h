#pragma once
// One surface's view of the desk, whatever carries its messages: which
// slots its faders show (the page on screen, moved by its bank offset when
// it has fewer than 32), what its moves do to the model, soft takeover, and
// what goes back to each control and when. Runs on the window's thread; the
// transports only carry bytes.

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/DmxConstants.h"
#include "surfaces/FeedbackGate.h"
#include "surfaces/SoftTakeover.h"
#include "surfaces/SurfaceInput.h"

class TDeskModel;
struct TDeskChange;
struct TFocus;

// The controls a surface has.
struct TSurfaceShape {
    int Faders = FADERS_PER_PAGE;
    bool Motorised = false;
    std::array<int, FADERS_PER_PAGE + 1> FaderMax{}; // by fader 1..; 0: none
    std::array<bool, FADERS_PER_PAGE + 1> Bumps{};
    std::array<bool, PAGE_COUNT + 1> Pages{};
    // Feedback to a fader waits while the operator moves it. A transport
    // that keeps its senders apart (OSC) leaves out only the mover itself.
    bool HoldsEcho = true;
};
TSurfaceShape ShapeOf(const TSurfaceProfile& profile);

// One message due to a control: a fader's value, a bump's or page's light.
struct TFeedback {
    TControlRole Role = TControlRole::Fader;
    int Index = 0;
    int Value = 0;
};

class TSurfaceSession {
public:
    using TFocusSource = std::function<TFocus()>;
    TSurfaceSession(TDeskModel& model, TSurfaceShape shape, TFocusSource focus = {},
                    int intervalMs = 20, int holdMs = 300);

    // What a control did. True when a soft-takeover marker changed.
    bool Apply(const TSurfaceInput& input, TMillis now);
    // The model's announcement. True when a soft-takeover marker changed.
    bool Follow(const TDeskChange& change, TMillis now);
    // Every control shown afresh (the surface was opened or came back).
    void Resync();

    std::vector<TFeedback> TakeDue(TMillis now);
    std::optional<TMillis> NextDue() const;

    int BankOffset() const { return offset_; }
    // The slot fader `index` shows, 0 when beyond the bank.
    int SlotOf(int index) const;
    // Where the physical fader of `slot` stands while it has not taken its
    // channel (soft takeover), as a level.
    std::optional<int> Marker(int slot) const;
    // Inputs dropped because their control shows no slot.
    int Ignored() const { return ignored_; }

private:
    int IndexOf(int slot) const;
    void OfferFader(int index, bool urgent);
    void OfferBump(int index);
    void OfferPages();
    void ChangeBank(int step);
    void ReleaseAll(bool urgent);
    // Moves the fader with ownSlot_ naming it while the model announces the
    // move, so that the surface is not sent its own move back.
    void MoveOwnFader(int slot, int level);
    TFocus Focus() const;

    TDeskModel& model_;
    TSurfaceShape shape_;
    TFocusSource focus_;
    int offset_ = 0;
    int ownSlot_ = 0; // the slot this surface is moving right now
    std::array<TSoftTakeover, FADERS_PER_PAGE + 1> takeover_{};
    std::array<int, FADERS_PER_PAGE + 1> applied_{}; // level each fader last gave, -1 none
    std::array<TFeedbackGate, FADERS_PER_PAGE + 1> faderGate_;
    std::array<TFeedbackGate, FADERS_PER_PAGE + 1> bumpGate_;
    std::array<TFeedbackGate, PAGE_COUNT + 1> pageGate_;
    int ignored_ = 0;
};
