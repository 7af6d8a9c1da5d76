#pragma once
// The event types shared by every component: assignable handlers that
// receive the sending object. "Assigned" means non-empty.

#include <functional>

#include <Qt>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;

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

using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(QObject* Sender, unsigned short& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;

// Helpers turning Qt's input state into the shift set.
TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
TMouseButton MouseButtonFrom(Qt::MouseButton button);
