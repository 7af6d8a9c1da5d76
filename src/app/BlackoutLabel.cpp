#include "app/BlackoutLabel.h"

#include "model/DeskModel.h"

TBlackoutLabel::TBlackoutLabel(const TDeskModel& model, QWidget* parent)
    : QLabel(QStringLiteral("Blackout"), parent), model_(model) {
    setObjectName(QStringLiteral("BlackoutLabel"));
    setStyleSheet(QStringLiteral(
        "QLabel { background: #d00000; color: white; font-weight: bold; padding: 0 6px; }"));
    setToolTip(QStringLiteral("The network outputs send zeros (Action > Blackout, Ctrl+B)"));
    setVisible(model_.Blackout());
}

void TBlackoutLabel::Follow(const TDeskChange& change) {
    if (change.Has(TDeskChange::Blackout)) setVisible(model_.Blackout());
}
