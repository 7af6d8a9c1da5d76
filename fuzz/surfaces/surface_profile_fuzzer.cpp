// Hostile profiles and settings files: the readers must refuse or accept
// without reading out of bounds, and what they accept must write back to the
// same thing; decoding MIDI through any accepted profile must hold up too.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "surfaces/MidiCodec.h"
#include "surfaces/SurfaceProfile.h"
#include "surfaces/SurfaceSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TSurfaceProfile profile;
    if (ParseSurfaceProfile(text, profile).empty()) {
        TSurfaceProfile back;
        if (!ParseSurfaceProfile(FormatSurfaceProfile(profile), back).empty() || !(back == profile))
            std::abort();
        TMidiCodec codec(profile);
        for (std::size_t i = 0; i + 3 <= size && i < 300; i += 3)
            codec.Decode(data + i, 3);
        for (int f = 0; f <= 33; ++f) {
            (void)codec.FaderMessage(f, 100);
            (void)codec.BumpMessage(f, true);
        }
    }
    TSurfaceSettings settings;
    if (ParseSurfaceSettings(text, settings).empty()) {
        TSurfaceSettings back;
        if (!ParseSurfaceSettings(FormatSurfaceSettings(settings), back).empty() ||
            !(back == settings))
            std::abort();
    }
    return 0;
}
