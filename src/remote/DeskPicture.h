#pragma once
// What a remote page shows of the desk, as the messages the desk sends it:
// "state" (everything the page draws) and "levels" (only what moves while
// faders and bumps are worked: positions, read-outs, bump lights and the
// page buttons' colours).

#include <QByteArray>

#include "model/PageColors.h"

class TDeskModel;

namespace remote {

struct TDeskLook {
    bool ShowDigits = false; // read-outs as 0..255, else percent
    TPagePalette Palette{};  // page buttons; bumps lit in On, dark in Off
};

// "#rrggbb" of a stored colour; system colours as the desk's face draws them.
QByteArray CssColor(TColor color);
// The read-out of a level: "128" or "50%".
QByteArray ReadoutText(int level, bool digits);

QByteArray StateMessage(const TDeskModel& model, const TDeskLook& look);
QByteArray LevelsMessage(const TDeskModel& model, const TDeskLook& look);

} // namespace remote
