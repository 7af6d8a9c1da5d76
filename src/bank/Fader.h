#pragma once
// One fader of the bank: a slider that knows the slot it stands in, and
// shows where a physical fader without a motor stands while it has not yet
// caught its channel's level (soft takeover), so the operator sees which
// way to move it.

#include <optional>

#include "slider/VSlider.h"

class TFader : public TSkVSlider {
public:
    explicit TFader(QWidget* parent = nullptr, int slot = 0) : TSkVSlider(parent), slot_(slot) {}
    int Slot() const { return slot_; }
    void SetSlot(int slot) { slot_ = slot; }

    // A level 0..255, or none.
    void SetTakeoverMarker(std::optional<int> level);
    std::optional<int> TakeoverMarker() const { return marker_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int slot_;
    std::optional<int> marker_;
};
