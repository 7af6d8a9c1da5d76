#pragma once
// What the user chose for each output, with the checks the dialog, the
// command line and the settings file share.

#include <string>
#include <string_view>

struct TSacnSettings {
    bool enabled = false;
    int universe = 1;
    std::string address; // empty: the universe's standard multicast group
    int priority = 100;
    std::string sourceName = "Vantrelle";

    bool operator==(const TSacnSettings&) const = default;
};

struct TArtNetSettings {
    bool enabled = false;
    int net = 0;
    int subNet = 0;
    int universe = 0;
    std::string address = "127.0.0.1"; // unicast or directed broadcast
    bool listen = true;                // answer ArtPoll, heard on broadcast addresses only

    bool operator==(const TArtNetSettings&) const = default;
};

struct TOlaSettings {
    bool enabled = false;
    int universe = 1;
    int port = 9010; // olad's RPC port on this machine

    bool operator==(const TOlaSettings&) const = default;
};

struct TOutputSettings {
    std::string cid; // made once, kept
    int rate = 44;   // packets per second per output while levels change
    bool hostLink = true;
    TSacnSettings sacn;
    TArtNetSettings artnet;
    TOlaSettings ola;

    bool operator==(const TOutputSettings&) const = default;
};

inline constexpr int MIN_RATE = 1;
inline constexpr int MAX_RATE = 1000;
inline constexpr int MAX_SOURCE_NAME_BYTES = 63;

// A setting that cannot work: the settings file's key that holds it and one
// sentence for the user. No key means all is well.
struct TSettingsProblem {
    std::string key;
    std::string message;
    explicit operator bool() const { return !key.empty(); }
};
TSettingsProblem FindSettingsProblem(const TOutputSettings& s);

// A decimal whole number, optionally negative. One too large for an int is
// read as INT_MIN, which every setting refuses with its own range, so the
// user hears what the range is rather than that the number is no number.
bool ParseWholeNumber(std::string_view text, int& value);

// Empty when fine, else one sentence for the user.
std::string ValidateSacn(const TSacnSettings& s);
std::string ValidateArtNet(const TArtNetSettings& s);
std::string ValidateOla(const TOlaSettings& s);
std::string ValidateSettings(const TOutputSettings& s);

// Command-line forms: "UNIVERSE[@ADDRESS]", "NET:SUB:UNI[@ADDRESS]", "UNIVERSE".
// Each turns the output on; an error sentence comes back when the text is wrong.
std::string ApplySacnOption(std::string_view text, TSacnSettings& s);
std::string ApplyArtNetOption(std::string_view text, TArtNetSettings& s);
std::string ApplyOlaOption(std::string_view text, TOlaSettings& s);
