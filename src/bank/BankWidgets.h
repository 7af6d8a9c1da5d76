#pragma once
// The bank's own widget classes. They add no behaviour: the handlers use
// them to tell the kind of the sender, and the buttons carry the Tag that
// names their channel or page.

#include "buttons/oxBtns.h"
#include "slider/SkVSlide.h"

class TFaders : public TSkVSlider {
public:
    using TSkVSlider::TSkVSlider;
};

class TFaderButtons : public ToxButton {
    Q_OBJECT
public:
    using ToxButton::ToxButton;
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }

private:
    int tag_ = 0;
};

class TPageButtons : public ToxGraphicButton {
    Q_OBJECT
public:
    using ToxGraphicButton::ToxGraphicButton;
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }

private:
    int tag_ = 0;
};
