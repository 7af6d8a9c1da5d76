#pragma once
// The button unit: the windowless face ToxGraphicButton (all behaviour and
// drawing, never focused) and the focusable wrapper ToxButton owning one.

#include "widgets/oxBtnsFace.h"    // IWYU pragma: export
#include "widgets/oxBtnsTypes.h"   // IWYU pragma: export
#include "widgets/oxBtnsWrapper.h" // IWYU pragma: export
