#pragma once
// The button unit: the windowless face ToxGraphicButton (all behaviour and
// drawing, never focused) and the focusable wrapper ToxButton owning one.

#include "buttons/Button.h"        // IWYU pragma: export
#include "buttons/ButtonTypes.h"   // IWYU pragma: export
#include "buttons/GraphicButton.h" // IWYU pragma: export
