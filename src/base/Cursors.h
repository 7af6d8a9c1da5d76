#pragma once
// The Qt cursor each of the desk's cursor numbers (core/Cursor.h) shows.

#include <Qt>

#include "core/Cursor.h"

// Numbers without a cursor of their own show the arrow.
Qt::CursorShape CursorShapeOf(int cursor);
