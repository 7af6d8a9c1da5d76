#include "surfaces/OscCommand.h"

#include <charconv>
#include <cmath>

#include "core/DmxConstants.h"

namespace {

constexpr std::string_view kPrefix = "/vantrelle/";

// A decimal without sign or leading zeros, low..high.
bool ReadIndex(std::string_view text, int low, int high, int& out) {
    if (text.empty() || text.size() > 3 || text.front() == '0') return false;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

std::optional<int> Level(const TOscArg& arg) {
    if (arg.Type == 'i') {
        if (arg.Int < 0 || arg.Int > DMX_MAX_LEVEL) return std::nullopt;
        return arg.Int;
    }
    if (arg.Type == 'f') {
        if (!std::isfinite(arg.Float) || arg.Float < 0.0f || arg.Float > 1.0f) return std::nullopt;
        return static_cast<int>(std::lround(static_cast<double>(arg.Float) * DMX_MAX_LEVEL));
    }
    return std::nullopt;
}

} // namespace

std::optional<TSurfaceInput> ParseOscCommand(std::string_view path, const TOscArg* args,
                                             std::size_t count) {
    if (args == nullptr || count != 1 || !path.starts_with(kPrefix)) return std::nullopt;
    const std::string_view rest = path.substr(kPrefix.size());
    const TOscArg& arg = args[0];
    TSurfaceInput input;
    if (rest == "page") {
        if (arg.Type != 'i' || arg.Int < 1 || arg.Int > PAGE_COUNT) return std::nullopt;
        input.Role = TControlRole::Page;
        input.Index = arg.Int;
        input.Pressed = true;
        return input;
    }
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view word = rest.substr(0, slash);
    const std::string_view number = rest.substr(slash + 1);
    if (word == "fader" || word == "channel") {
        const bool fader = word == "fader";
        if (!ReadIndex(number, 1, fader ? FADERS_PER_PAGE : DMX_UNIVERSE_SIZE, input.Index))
            return std::nullopt;
        const auto level = Level(arg);
        if (!level) return std::nullopt;
        input.Role = fader ? TControlRole::Fader : TControlRole::Channel;
        input.Value = *level;
        input.Max = DMX_MAX_LEVEL;
        return input;
    }
    if (word == "bump") {
        if (!ReadIndex(number, 1, FADERS_PER_PAGE, input.Index)) return std::nullopt;
        if (arg.Type != 'i' || (arg.Int != 0 && arg.Int != 1)) return std::nullopt;
        input.Role = TControlRole::Bump;
        input.Pressed = arg.Int == 1;
        return input;
    }
    return std::nullopt;
}

TOscFeedback OscFeedbackFor(TControlRole role, int index, int value) {
    TOscFeedback out;
    switch (role) {
    case TControlRole::Fader:
    case TControlRole::Channel:
        out.Path = std::string(kPrefix) + (role == TControlRole::Fader ? "fader/" : "channel/") +
                   std::to_string(index);
        out.Arg.Type = 'f';
        out.Arg.Float = static_cast<float>(value) / DMX_MAX_LEVEL;
        break;
    case TControlRole::Bump:
        out.Path = std::string(kPrefix) + "bump/" + std::to_string(index);
        out.Arg.Type = 'i';
        out.Arg.Int = value != 0 ? 1 : 0;
        break;
    case TControlRole::Page:
        out.Path = std::string(kPrefix) + "page";
        out.Arg.Type = 'i';
        out.Arg.Int = index;
        break;
    default:
        break;
    }
    return out;
}
