#pragma once
// The input types the components' signals carry: the mouse button and the
// shift state, numbered as the Windows types are.

#include <Qt>

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state as a set of flags, matching the order of the Windows type.
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

// Helpers turning Qt's input state into the shift set.
TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
TMouseButton MouseButtonFrom(Qt::MouseButton button);
