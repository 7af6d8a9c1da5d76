// Arbitrary bytes as the outputs' settings file. Whatever is accepted must
// be valid settings that write back to text which reads the same.

#include "output/OutputSettingsFile.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TOutputSettings settings;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ParseOutputSettings(text, settings).empty()) return 0;
    if (!ValidateSettings(settings).empty()) std::abort();
    const std::string written = FormatOutputSettings(settings);
    TOutputSettings again;
    if (!ParseOutputSettings(written, again).empty()) std::abort();
    if (FormatOutputSettings(again) != written) std::abort();
    return 0;
}
