#pragma once
// The blackout's state at the right of the menu bar: red while the network
// outputs send zeros, hidden otherwise. Follows the model.

#include <QLabel>

class TDeskModel;
struct TDeskChange;

class TBlackoutLabel : public QLabel {
    Q_OBJECT
public:
    TBlackoutLabel(const TDeskModel& model, QWidget* parent);
    void Follow(const TDeskChange& change);

private:
    const TDeskModel& model_;
};
