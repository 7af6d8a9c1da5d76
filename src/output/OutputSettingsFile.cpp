#include "output/OutputSettingsFile.h"

#include "output/Cid.h"

#include "core/KeyValueLines.h"
#include "core/TextLines.h"
#include "core/WholeFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace {

bool SetInt(int& field, std::string_view v) {
    return ParseWholeNumber(v, field);
}

bool SetBool(bool& field, std::string_view v) {
    if (v != "0" && v != "1") return false;
    field = v == "1";
    return true;
}

bool SetText(std::string& field, std::string_view v) {
    field = std::string(v);
    return true;
}

const core::TKeySetters<TOutputSettings>& Setters() {
    static const core::TKeySetters<TOutputSettings> setters = {
        {"cid", [](auto& s, auto v) { return SetText(s.cid, v); }},
        {"rate", [](auto& s, auto v) { return SetInt(s.rate, v); }},
        {"hostlink.enabled", [](auto& s, auto v) { return SetBool(s.hostLink, v); }},
        {"sacn.enabled", [](auto& s, auto v) { return SetBool(s.sacn.enabled, v); }},
        {"sacn.universe", [](auto& s, auto v) { return SetInt(s.sacn.universe, v); }},
        {"sacn.address", [](auto& s, auto v) { return SetText(s.sacn.address, v); }},
        {"sacn.priority", [](auto& s, auto v) { return SetInt(s.sacn.priority, v); }},
        {"sacn.source_name", [](auto& s, auto v) { return SetText(s.sacn.sourceName, v); }},
        {"artnet.enabled", [](auto& s, auto v) { return SetBool(s.artnet.enabled, v); }},
        {"artnet.net", [](auto& s, auto v) { return SetInt(s.artnet.net, v); }},
        {"artnet.subnet", [](auto& s, auto v) { return SetInt(s.artnet.subNet, v); }},
        {"artnet.universe", [](auto& s, auto v) { return SetInt(s.artnet.universe, v); }},
        {"artnet.address", [](auto& s, auto v) { return SetText(s.artnet.address, v); }},
        {"artnet.listen", [](auto& s, auto v) { return SetBool(s.artnet.listen, v); }},
        {"ola.enabled", [](auto& s, auto v) { return SetBool(s.ola.enabled, v); }},
        {"ola.universe", [](auto& s, auto v) { return SetInt(s.ola.universe, v); }},
        {"ola.port", [](auto& s, auto v) { return SetInt(s.ola.port, v); }},
    };
    return setters;
}

} // namespace

std::string ParseOutputSettings(std::string_view text, TOutputSettings& settings) {
    if (text.size() > MAX_SETTINGS_FILE_BYTES) return "the file is larger than 16 KiB";
    TOutputSettings next;
    // Each key's line, so that a value refused below is shown where it is.
    core::TKeyLines seen;
    if (std::string error = core::ReadKeyValueLines(text, MAX_SETTINGS_LINE_BYTES, Setters(), next,
                                                    seen, core::TQuoteValue::Yes);
        !error.empty())
        return error;
    if (const TSettingsProblem problem = FindSettingsProblem(next)) {
        const auto where = seen.find(problem.key);
        if (where == seen.end()) return problem.message;
        const auto& [line, value] = where->second;
        return core::LineError(line, problem.key + "=" + value + ": " + problem.message);
    }
    settings = next;
    return {};
}

std::string CidOfRefusedSettings(std::string_view text) {
    if (text.size() > MAX_SETTINGS_FILE_BYTES) return {};
    std::string found;
    core::TTextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (!line.starts_with("cid=")) continue;
        // Two CIDs: neither can be trusted to be the one receivers know.
        if (!found.empty()) return {};
        const auto cid = CidFromText(line.substr(4));
        if (!cid) return {};
        found = CidToText(*cid);
    }
    return found;
}

std::string FormatOutputSettings(const TOutputSettings& s) {
    std::ostringstream out;
    out << "# Vantrelle DMX outputs\n"
        << "cid=" << s.cid << '\n'
        << "rate=" << s.rate << '\n'
        << "hostlink.enabled=" << s.hostLink << '\n'
        << "sacn.enabled=" << s.sacn.enabled << '\n'
        << "sacn.universe=" << s.sacn.universe << '\n'
        << "sacn.address=" << s.sacn.address << '\n'
        << "sacn.priority=" << s.sacn.priority << '\n'
        << "sacn.source_name=" << s.sacn.sourceName << '\n'
        << "artnet.enabled=" << s.artnet.enabled << '\n'
        << "artnet.net=" << s.artnet.net << '\n'
        << "artnet.subnet=" << s.artnet.subNet << '\n'
        << "artnet.universe=" << s.artnet.universe << '\n'
        << "artnet.address=" << s.artnet.address << '\n'
        << "artnet.listen=" << s.artnet.listen << '\n'
        << "ola.enabled=" << s.ola.enabled << '\n'
        << "ola.universe=" << s.ola.universe << '\n'
        << "ola.port=" << s.ola.port << '\n';
    return out.str();
}

std::string ReadOutputSettings(const std::string& path, TOutputSettings& settings) {
    TOutputSettings next;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return path + ": cannot be read";
        std::string text(MAX_SETTINGS_FILE_BYTES + 1, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
        if (std::string error = ParseOutputSettings(text, next); !error.empty()) {
            settings = TOutputSettings{};
            settings.cid = CidOfRefusedSettings(text);
            return path + ": " + error;
        }
    }
    settings = next;
    return {};
}

std::string LoadOutputSettings(const std::string& path, TOutputSettings& settings) {
    TOutputSettings next;
    if (std::string error = ReadOutputSettings(path, next); !error.empty()) return error;
    if (next.cid.empty()) {
        next.cid = CidToText(GenerateCid());
        if (std::string error = SaveOutputSettings(path, next); !error.empty()) return error;
    }
    settings = next;
    return {};
}

std::string SaveOutputSettings(const std::string& path, const TOutputSettings& settings) {
    const std::string text = FormatOutputSettings(settings);
    const TFileResult<> saved = ReplaceFileWhole(
        QString::fromStdString(path),
        QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), QStringLiteral("%1:"));
    return saved ? std::string() : saved.Error().Message().toStdString();
}
