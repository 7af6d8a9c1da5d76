#pragma once
// What an OSC message asks of the desk, checked strictly: a slot, channel or
// page out of range, a value out of range or of the wrong type, or any other
// address is refused (never clamped), so that the caller drops and counts it.
//
//   /vantrelle/fader/<1..32>     float 0..1 or int 0..255
//   /vantrelle/channel/<1..512>  float 0..1 or int 0..255
//   /vantrelle/page              int 1..16
//   /vantrelle/bump/<1..32>      int 0 or 1

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "surfaces/SurfaceInput.h"

struct TOscArg {
    char Type = 0; // 'i' or 'f'; anything else is refused
    std::int32_t Int = 0;
    float Float = 0;
};

std::optional<TSurfaceInput> ParseOscCommand(std::string_view path, const TOscArg* args,
                                             std::size_t count);

// The feedback a desk sends for a control: the address and one argument.
struct TOscFeedback {
    std::string Path;
    TOscArg Arg;
};
TOscFeedback OscFeedbackFor(TControlRole role, int index, int value);
