#pragma once
// One of the 16 page buttons above the faders; page 1..16.

#include "buttons/Buttons.h"

class TPageButton : public ToxGraphicButton {
    Q_OBJECT
public:
    explicit TPageButton(QWidget* parent = nullptr, int page = 0)
        : ToxGraphicButton(parent), page_(page) {}
    int Page() const { return page_; }
    void SetPage(int page) { page_ = page; }

private:
    int page_;
};
