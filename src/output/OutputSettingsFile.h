#pragma once
// The outputs' own settings file: "key=value" lines, '#' comments, read
// strictly (unknown or repeated keys, bad values, long lines and large files
// are errors) so that a damaged file is never half applied.

#include "output/OutputSettings.h"

#include <string>
#include <string_view>

inline constexpr std::size_t MAX_SETTINGS_FILE_BYTES = 16 * 1024;
inline constexpr std::size_t MAX_SETTINGS_LINE_BYTES = 256;

// Empty when `text` was read into `settings`; else the error, `settings` untouched.
std::string ParseOutputSettings(std::string_view text, TOutputSettings& settings);
std::string FormatOutputSettings(const TOutputSettings& settings);
// The one well-formed CID of a file that was refused, empty if it has none:
// the source keeps its identity while the rest of the file is mended.
std::string CidOfRefusedSettings(std::string_view text);

// Reads `path` without writing anything; a missing file gives the defaults.
// A refused file gives the error and the defaults with the file's CID kept.
std::string ReadOutputSettings(const std::string& path, TOutputSettings& settings);
// Reads `path`; a missing file gives the defaults. A missing CID is made and
// the file written back, so the CID stays the same from then on.
std::string LoadOutputSettings(const std::string& path, TOutputSettings& settings);
// Replaces the file whole (every write checked, synced, then renamed), so a
// failure leaves the old file as it was; the error names the file and why.
std::string SaveOutputSettings(const std::string& path, const TOutputSettings& settings);
