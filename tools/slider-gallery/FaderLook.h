#pragma once
// The bank's fader look, under the name the gallery, tests and benchmarks use.

#include "bank/FaderLook.h" // IWYU pragma: export
