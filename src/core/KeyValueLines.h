#pragma once
// The settings files a person may edit: one `key=value` a line, a line
// starting with '#' a comment, every key known and given once. The first
// fault is refused with its line.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "core/TextLines.h"

namespace core {

template <class Settings>
using TKeySetters =
    std::map<std::string, std::function<bool(Settings&, std::string_view)>, std::less<>>;

// Where each key was given: its line and its value.
using TKeyLines = std::map<std::string, std::pair<int, std::string>, std::less<>>;

// Whether a refused value is quoted in the message.
enum class TQuoteValue { No, Yes };

// Applies each line of `text` to `into` through `setters`, noting in `seen`
// where each key stood. Returns the first fault, naming its line; empty when
// every line was taken.
template <class Settings>
std::string ReadKeyValueLines(std::string_view text, std::size_t maxLine,
                              const TKeySetters<Settings>& setters, Settings& into, TKeyLines& seen,
                              TQuoteValue quote = TQuoteValue::No) {
    TTextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        const int number = lines.Number();
        if (line.size() > maxLine) return LineError(number, "too long");
        if (line.empty() || line.front() == '#') continue;
        if (HasControlBytes(line)) return LineError(number, "control characters");
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) return LineError(number, "no '='");
        const std::string key(line.substr(0, eq));
        const std::string_view value = line.substr(eq + 1);
        const auto setter = setters.find(key);
        if (setter == setters.end()) return LineError(number, "unknown key \"" + key + "\"");
        if (!seen.emplace(key, std::pair(number, std::string(value))).second)
            return LineError(number, "\"" + key + "\" given twice");
        if (!setter->second(into, value))
            return LineError(number,
                             quote == TQuoteValue::Yes
                                 ? "bad value \"" + std::string(value) + "\" for \"" + key + "\""
                                 : "bad value for \"" + key + "\"");
    }
    return {};
}

} // namespace core
