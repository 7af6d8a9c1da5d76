#include "surfaces/SurfaceProfile.h"

#include <charconv>
#include <map>
#include <set>
#include <sstream>

#include "core/DmxConstants.h"
#include "core/TextLines.h"
#include "surfaces/ValueScale.h"

namespace {

struct TRoleName {
    TControlRole Role;
    const char* Word;
};

constexpr TRoleName kRoles[] = {
    {TControlRole::Fader, "fader"},
    {TControlRole::Bump, "bump"},
    {TControlRole::Page, "page"},
    {TControlRole::BankLeft, "bank-left"},
    {TControlRole::BankRight, "bank-right"},
    {TControlRole::PageNext, "page-next"},
    {TControlRole::PagePrevious, "page-previous"},
};

const char* RoleWord(TControlRole role) {
    for (const auto& r : kRoles)
        if (r.Role == role) return r.Word;
    return "?";
}

const char* KindWord(TMidiKind kind) {
    switch (kind) {
    case TMidiKind::Cc:
        return "cc";
    case TMidiKind::Cc14:
        return "cc14";
    case TMidiKind::PitchBend:
        return "pitchbend";
    case TMidiKind::Note:
        return "note";
    case TMidiKind::Program:
        return "program";
    }
    return "?";
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size()) break;
        std::size_t end = pos;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

bool ReadNumber(std::string_view word, int low, int high, int& out) {
    if (word.empty() || word.size() > 5) return false;
    int value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size()) return false;
    if (value < low || value > high) return false;
    out = value;
    return true;
}

// The keys one address takes in the decoder's table; a 14-bit CC takes two.
std::vector<std::uint32_t> AddressKeys(const TMidiAddress& a) {
    auto key = [&](int type, int number) {
        return static_cast<std::uint32_t>(type << 16 | a.Channel << 8 | number);
    };
    switch (a.Kind) {
    case TMidiKind::Cc:
        return {key(0, a.Number)};
    case TMidiKind::Cc14:
        return {key(0, a.Number), key(0, a.Lsb)};
    case TMidiKind::PitchBend:
        return {key(1, 0)};
    case TMidiKind::Note:
        return {key(2, a.Number)};
    case TMidiKind::Program:
        return {key(3, a.Number)};
    }
    return {};
}

bool KindFitsRole(TMidiKind kind, TControlRole role) {
    switch (role) {
    case TControlRole::Fader:
        return kind == TMidiKind::Cc || kind == TMidiKind::Cc14 || kind == TMidiKind::PitchBend;
    case TControlRole::Page:
        return kind == TMidiKind::Note || kind == TMidiKind::Cc || kind == TMidiKind::Program;
    default:
        return kind == TMidiKind::Note || kind == TMidiKind::Cc;
    }
}

// The address words after the role: "<kind> <channel> [numbers]".
std::string ReadAddress(const std::vector<std::string_view>& w, std::size_t at, TMidiAddress& a) {
    if (at >= w.size()) return "the kind of message is missing";
    const std::string_view kind = w[at];
    std::size_t numbers = 0;
    if (kind == "cc") {
        a.Kind = TMidiKind::Cc;
        numbers = 1;
    } else if (kind == "cc14") {
        a.Kind = TMidiKind::Cc14;
        numbers = 2;
    } else if (kind == "pitchbend") {
        a.Kind = TMidiKind::PitchBend;
    } else if (kind == "note") {
        a.Kind = TMidiKind::Note;
        numbers = 1;
    } else if (kind == "program") {
        a.Kind = TMidiKind::Program;
        numbers = 1;
    } else {
        return "unknown kind of message \"" + std::string(kind) + "\"";
    }
    if (w.size() != at + 2 + numbers)
        return "\"" + std::string(kind) + "\" takes a MIDI channel" +
               (numbers == 0 ? std::string() : " and " + std::to_string(numbers) + " number(s)");
    int channel = 0;
    if (!ReadNumber(w[at + 1], 1, 16, channel)) return "the MIDI channel must be 1 to 16";
    a.Channel = channel - 1;
    if (numbers >= 1 && !ReadNumber(w[at + 2], 0, 127, a.Number))
        return "the number must be 0 to 127";
    if (numbers == 2) {
        if (!ReadNumber(w[at + 3], 0, 127, a.Lsb)) return "the LSB number must be 0 to 127";
        if (a.Lsb == a.Number) return "the MSB and LSB must be two CC numbers";
    }
    return {};
}

} // namespace

int TMidiAddress::Max() const {
    return Kind == TMidiKind::Cc14 || Kind == TMidiKind::PitchBend ? MIDI_14BIT_MAX : MIDI_7BIT_MAX;
}

std::string ParseSurfaceProfile(std::string_view text, TSurfaceProfile& profile) {
    if (text.size() > MAX_PROFILE_BYTES) return "the file is larger than 64 KiB";
    TSurfaceProfile next;
    next.Name.clear();
    std::vector<int> lineOf;
    std::set<std::string, std::less<>> seenSettings;
    std::map<std::uint32_t, int> keyLine;
    std::map<std::pair<int, int>, int> roleLine;
    int fadersLine = 0;
    core::TTextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        const int lineNumber = lines.Number();
        if (line.size() > MAX_PROFILE_LINE_BYTES) return core::LineError(lineNumber, "too long");
        if (core::HasControlBytes(line, true))
            return core::LineError(lineNumber, "control characters");
        const auto words = Words(line);
        if (words.empty() || words.front().front() == '#') continue;
        const std::string_view head = words.front();
        if (head == "name" || head == "faders" || head == "motorised") {
            if (!seenSettings.insert(std::string(head)).second)
                return core::LineError(lineNumber, "\"" + std::string(head) + "\" given twice");
            if (head == "name") {
                const auto start = line.find("name") + 4;
                std::string_view rest = line.substr(start);
                while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
                    rest.remove_prefix(1);
                while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
                    rest.remove_suffix(1);
                if (rest.empty()) return core::LineError(lineNumber, "the name is empty");
                next.Name = std::string(rest);
            } else if (head == "faders") {
                if (words.size() != 2 || !ReadNumber(words[1], 1, FADERS_PER_PAGE, next.Faders))
                    return core::LineError(lineNumber, "faders must be 1 to 32");
                fadersLine = lineNumber;
            } else {
                if (words.size() != 2 || (words[1] != "yes" && words[1] != "no"))
                    return core::LineError(lineNumber, "motorised must be yes or no");
                next.Motorised = words[1] == "yes";
            }
            continue;
        }
        TProfileControl control;
        bool known = false;
        for (const auto& r : kRoles)
            if (head == r.Word) {
                control.Role = r.Role;
                known = true;
            }
        if (!known)
            return core::LineError(lineNumber, "unknown word \"" + std::string(head) + "\"");
        std::size_t at = 1;
        if (control.Role == TControlRole::Fader || control.Role == TControlRole::Bump ||
            control.Role == TControlRole::Page) {
            const int high = control.Role == TControlRole::Page ? PAGE_COUNT : FADERS_PER_PAGE;
            if (words.size() < 2 || !ReadNumber(words[1], 1, high, control.Index))
                return core::LineError(lineNumber, std::string(head) + " number must be 1 to " +
                                                       std::to_string(high));
            at = 2;
        }
        if (std::string error = ReadAddress(words, at, control.Address); !error.empty())
            return core::LineError(lineNumber, error);
        if (!KindFitsRole(control.Address.Kind, control.Role))
            return core::LineError(lineNumber, std::string(head) + " cannot be a \"" +
                                                   KindWord(control.Address.Kind) + "\" message");
        if (next.Controls.size() >= static_cast<std::size_t>(MAX_PROFILE_CONTROLS))
            return core::LineError(lineNumber, "more than 512 controls");
        const auto role = std::make_pair(static_cast<int>(control.Role), control.Index);
        if (const auto [it, fresh] = roleLine.emplace(role, lineNumber); !fresh)
            return core::LineError(lineNumber,
                                   "this control was given on line " + std::to_string(it->second));
        for (const std::uint32_t key : AddressKeys(control.Address))
            if (const auto [it, fresh] = keyLine.emplace(key, lineNumber); !fresh)
                return core::LineError(lineNumber, "the message is used on line " +
                                                       std::to_string(it->second) + " already");
        next.Controls.push_back(control);
        lineOf.push_back(lineNumber);
    }
    // Faders and bumps beyond the surface's width would never be reached.
    for (std::size_t i = 0; i < next.Controls.size(); ++i) {
        const auto& c = next.Controls[i];
        if ((c.Role == TControlRole::Fader || c.Role == TControlRole::Bump) &&
            c.Index > next.Faders)
            return core::LineError(
                lineOf[i],
                std::string(RoleWord(c.Role)) + " " + std::to_string(c.Index) +
                    " is beyond faders " + std::to_string(next.Faders) +
                    (fadersLine ? " (line " + std::to_string(fadersLine) + ")" : std::string()));
    }
    if (next.Name.empty()) next.Name = "Unnamed surface";
    profile = std::move(next);
    return {};
}

std::string AddressText(const TMidiAddress& a) {
    std::string text = std::string(KindWord(a.Kind)) + " " + std::to_string(a.Channel + 1);
    if (a.Kind != TMidiKind::PitchBend) text += " " + std::to_string(a.Number);
    if (a.Kind == TMidiKind::Cc14) text += " " + std::to_string(a.Lsb);
    return text;
}

std::string FormatSurfaceProfile(const TSurfaceProfile& profile) {
    std::ostringstream out;
    out << "# Vantrelle control surface profile\n"
        << "name " << profile.Name << '\n'
        << "faders " << profile.Faders << '\n'
        << "motorised " << (profile.Motorised ? "yes" : "no") << '\n';
    for (const auto& c : profile.Controls) {
        out << RoleWord(c.Role);
        if (c.Role == TControlRole::Fader || c.Role == TControlRole::Bump ||
            c.Role == TControlRole::Page)
            out << ' ' << c.Index;
        out << ' ' << AddressText(c.Address) << '\n';
    }
    return out.str();
}

TSurfaceProfile GenericProfile() {
    TSurfaceProfile p;
    p.Name = "Generic";
    p.Faders = FADERS_PER_PAGE;
    p.Motorised = false;
    for (int i = 0; i < FADERS_PER_PAGE; ++i)
        p.Controls.push_back({TControlRole::Fader, i + 1, {TMidiKind::Cc, 0, i, 0}});
    for (int i = 0; i < FADERS_PER_PAGE; ++i)
        p.Controls.push_back({TControlRole::Bump, i + 1, {TMidiKind::Note, 0, i, 0}});
    for (int i = 0; i < PAGE_COUNT; ++i)
        p.Controls.push_back({TControlRole::Page, i + 1, {TMidiKind::Note, 0, 32 + i, 0}});
    return p;
}

bool AssignFader(TSurfaceProfile& profile, int index, const TMidiAddress& address) {
    if (!KindFitsRole(address.Kind, TControlRole::Fader)) return false;
    if (index < 1 || index > profile.Faders) return false;
    const auto keys = AddressKeys(address);
    std::erase_if(profile.Controls, [&](const TProfileControl& c) {
        if (c.Role == TControlRole::Fader && c.Index == index) return true;
        for (const auto k : AddressKeys(c.Address))
            for (const auto n : keys)
                if (k == n) return true;
        return false;
    });
    profile.Controls.push_back({TControlRole::Fader, index, address});
    return true;
}
