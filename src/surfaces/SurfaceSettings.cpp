#include "surfaces/SurfaceSettings.h"

#include <charconv>
#include <functional>
#include <map>
#include <sstream>

#include "core/Ipv4Address.h"
#include "core/KeyValueLines.h"

namespace {

bool ReadInt(std::string_view v, int low, int high, int& out) {
    int value = 0;
    if (v.empty() || v.size() > 6) return false;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool ReadBool(std::string_view v, bool& out) {
    if (v != "0" && v != "1") return false;
    out = v == "1";
    return true;
}

const core::TKeySetters<TSurfaceSettings>& Setters() {
    static const core::TKeySetters<TSurfaceSettings> setters = {
        {"midi.enabled", [](auto& s, auto v) { return ReadBool(v, s.MidiEnabled); }},
        {"midi.api",
         [](auto& s, auto v) {
             if (v == "jack")
                 s.MidiApi = TMidiApi::Jack;
             else if (v == "alsa")
                 s.MidiApi = TMidiApi::Alsa;
             else
                 return false;
             return true;
         }},
        {"midi.input", [](auto& s, auto v) { return s.MidiInput = std::string(v), true; }},
        {"midi.output", [](auto& s, auto v) { return s.MidiOutput = std::string(v), true; }},
        {"midi.profile",
         [](auto& s, auto v) {
             // A file name in a profile folder, never a path elsewhere.
             if (v.find('/') != std::string_view::npos || v == "." || v == "..") return false;
             s.Profile = std::string(v);
             return true;
         }},
        {"osc.enabled", [](auto& s, auto v) { return ReadBool(v, s.OscEnabled); }},
        {"osc.address",
         [](auto& s, auto v) {
             if (!ParseIpv4(v)) return false;
             s.OscAddress = std::string(v);
             return true;
         }},
        {"osc.port", [](auto& s, auto v) { return ReadInt(v, 1, 65535, s.OscPort); }},
        {"osc.feedback",
         [](auto& s, auto v) {
             std::string address;
             int port = 0;
             if (!v.empty() && !ParseHostPort(v, address, port)) return false;
             s.OscFeedback = std::string(v);
             return true;
         }},
    };
    return setters;
}

} // namespace

const char* MidiApiName(TMidiApi api) {
    return api == TMidiApi::Alsa ? "alsa" : "jack";
}

bool ParseHostPort(std::string_view text, std::string& address, int& port) {
    const auto colon = text.rfind(':');
    std::string_view host = "127.0.0.1";
    std::string_view number = text;
    if (colon != std::string_view::npos) {
        host = text.substr(0, colon);
        number = text.substr(colon + 1);
    }
    int p = 0;
    if (!ReadInt(number, 1, 65535, p) || !ParseIpv4(host)) return false;
    address = std::string(host);
    port = p;
    return true;
}

std::string ParseSurfaceSettings(std::string_view text, TSurfaceSettings& settings) {
    if (text.size() > MAX_SURFACE_SETTINGS_BYTES) return "the file is larger than 16 KiB";
    TSurfaceSettings next;
    core::TKeyLines seen;
    if (std::string error =
            core::ReadKeyValueLines(text, MAX_SURFACE_SETTINGS_LINE, Setters(), next, seen);
        !error.empty())
        return error;
    settings = next;
    return {};
}

std::string FormatSurfaceSettings(const TSurfaceSettings& s) {
    std::ostringstream out;
    out << "# Vantrelle control surfaces\n"
        << "midi.enabled=" << s.MidiEnabled << '\n'
        << "midi.api=" << MidiApiName(s.MidiApi) << '\n'
        << "midi.input=" << s.MidiInput << '\n'
        << "midi.output=" << s.MidiOutput << '\n'
        << "midi.profile=" << s.Profile << '\n'
        << "osc.enabled=" << s.OscEnabled << '\n'
        << "osc.address=" << s.OscAddress << '\n'
        << "osc.port=" << s.OscPort << '\n'
        << "osc.feedback=" << s.OscFeedback << '\n';
    return out.str();
}
