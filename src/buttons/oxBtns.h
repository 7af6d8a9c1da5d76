#pragma once
// The button unit: the windowless face ToxGraphicButton (all behaviour and
// drawing, never focused) and the focusable wrapper ToxButton owning one.

#include "buttons/oxBtnsFace.h"    // IWYU pragma: export
#include "buttons/oxBtnsTypes.h"   // IWYU pragma: export
#include "buttons/oxBtnsWrapper.h" // IWYU pragma: export
