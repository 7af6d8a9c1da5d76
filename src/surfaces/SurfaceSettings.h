#pragma once
// The control surfaces' own settings file, beside "Config.dat": "key=value"
// lines and '#' comments, read strictly (unknown or repeated keys, bad
// values, long lines and large files are refused with the line's number)
// so that a damaged file is never half applied. Everything is off until
// the user turns it on.

#include <string>
#include <string_view>

inline constexpr std::size_t MAX_SURFACE_SETTINGS_BYTES = 16 * 1024;
inline constexpr std::size_t MAX_SURFACE_SETTINGS_LINE = 256;
inline constexpr char SURFACE_SETTINGS_FILE_NAME[] = "Surfaces.dat";

enum class TMidiApi { Jack, Alsa };

struct TSurfaceSettings {
    bool MidiEnabled = false;
    TMidiApi MidiApi = TMidiApi::Jack;
    std::string MidiInput;  // a part of the input port's name
    std::string MidiOutput; // a part of the output port's name; empty: as the input
    std::string Profile;    // a profile's file name; empty: the generic map
    bool OscEnabled = false;
    std::string OscAddress = "127.0.0.1";
    int OscPort = 9000;
    std::string OscFeedback; // "address:port" also sent feedback; empty: none
    bool operator==(const TSurfaceSettings&) const = default;
};

// Empty when `text` was read into `settings`; else "line N: what", `settings` untouched.
std::string ParseSurfaceSettings(std::string_view text, TSurfaceSettings& settings);
std::string FormatSurfaceSettings(const TSurfaceSettings& settings);
// "address:port" or "port" (then 127.0.0.1): false for anything else.
bool ParseHostPort(std::string_view text, std::string& address, int& port);
const char* MidiApiName(TMidiApi api);
