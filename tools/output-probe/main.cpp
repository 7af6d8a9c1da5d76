// Sends a few levels through the desk's network outputs without the desk's
// window, to check a rig or a receiver from a script:
//   vantrelle-output-probe --sacn 1@127.0.0.1 --level 1=255 --level 2=128 --seconds 3
// Prints each output's state once a second; on exit the outputs say goodbye
// as their protocols ask.

#include "output/Cid.h"
#include "output/OutputSet.h"
#include "output/OutputSettingsFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

int Usage(const std::string& error) {
    if (!error.empty()) std::fprintf(stderr, "vantrelle-output-probe: %s\n", error.c_str());
    std::fprintf(stderr,
                 "usage: vantrelle-output-probe [--settings FILE] [--sacn UNIVERSE[@ADDRESS]]\n"
                 "       [--artnet NET:SUB:UNI[@ADDRESS]] [--ola UNIVERSE] [--rate N]\n"
                 "       [--level CHANNEL=VALUE]... [--seconds N]\n");
    return 2;
}

bool ParseNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    TOutputSettings settings;
    settings.cid = CidToText(GenerateCid());
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> levels{};
    int seconds = 2;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return Usage(option + " needs a value");
        const char* value = argv[++i];
        std::string error;
        if (option == "--settings") {
            error = LoadOutputSettings(value, settings);
        } else if (option == "--sacn") {
            error = ApplySacnOption(value, settings.sacn);
        } else if (option == "--artnet") {
            error = ApplyArtNetOption(value, settings.artnet);
        } else if (option == "--ola") {
            error = ApplyOlaOption(value, settings.ola);
        } else if (option == "--rate") {
            if (!ParseNumber(value, MIN_RATE, MAX_RATE, settings.rate)) error = "bad --rate";
        } else if (option == "--seconds") {
            if (!ParseNumber(value, 0, 3600, seconds)) error = "bad --seconds";
        } else if (option == "--level") {
            const char* eq = std::strchr(value, '=');
            int channel = 0;
            int level = 0;
            if (!eq ||
                !ParseNumber(std::string(value, eq).c_str(), 1, DMX_UNIVERSE_SIZE, channel) ||
                !ParseNumber(eq + 1, 0, DMX_MAX_LEVEL, level))
                error = "--level wants CHANNEL=VALUE with 1-512 and 0-255";
            else
                levels[channel - 1] = static_cast<std::uint8_t>(level);
        } else {
            error = "unknown option " + option;
        }
        if (!error.empty()) return Usage(error);
    }
    TOutputSet outputs;
    outputs.Apply(settings);
    if (outputs.Schedulers().empty()) return Usage("no output turned on");
    outputs.Post(TLevelSpan(levels));
    for (int s = 0; s < std::max(seconds, 1); ++s) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        for (const auto& status : outputs.Statuses())
            std::printf("%s: %s\n", status.name.c_str(), OutputStateText(status.state).c_str());
        std::fflush(stdout);
    }
    outputs.StopAll();
    return 0;
}
