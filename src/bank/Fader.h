#pragma once
// One fader of the bank: a slider that knows the slot it stands in.

#include "slider/VSlider.h"

class TFader : public TSkVSlider {
public:
    explicit TFader(QWidget* parent = nullptr, int slot = 0) : TSkVSlider(parent), slot_(slot) {}
    int Slot() const { return slot_; }
    void SetSlot(int slot) { slot_ = slot; }

private:
    int slot_;
};
