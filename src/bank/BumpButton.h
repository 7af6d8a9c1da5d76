#pragma once
// The bump button under a fader: a focusable button that knows its slot.

#include "buttons/Buttons.h"

class TBumpButton : public ToxButton {
    Q_OBJECT
public:
    explicit TBumpButton(QWidget* parent = nullptr, int slot = 0)
        : ToxButton(parent), slot_(slot) {}
    int Slot() const { return slot_; }
    void SetSlot(int slot) { slot_ = slot; }

private:
    int slot_;
};
