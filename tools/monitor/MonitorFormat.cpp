#include "MonitorFormat.h"

#include <cstdio>

namespace monitor {
namespace {

std::string Hex(std::uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

// Runs of equal non-zero levels: "33=128 40-48=255".
std::string Runs(const std::vector<std::uint8_t>& levels, int& nonZero) {
    std::string out;
    nonZero = 0;
    const int n = static_cast<int>(levels.size());
    for (int i = 0; i < n;) {
        int j = i;
        while (j + 1 < n &&
               levels[static_cast<std::size_t>(j + 1)] == levels[static_cast<std::size_t>(i)])
            ++j;
        const int value = levels[static_cast<std::size_t>(i)];
        if (value != 0) {
            nonZero += j - i + 1;
            if (!out.empty()) out += ' ';
            out += std::to_string(i + 1);
            if (j > i) out += '-' + std::to_string(j + 1);
            out += '=' + std::to_string(value);
        }
        i = j + 1;
    }
    return out;
}

} // namespace

bool IsChannelFrame(const hostlink::ReceivedMessage& m) {
    return m.Header.Msg == hostlink::WM_COPYDATA && m.Header.LParam == hostlink::DMX_FRAME_TAG;
}

std::string FormatLine(std::uint64_t number, const hostlink::ReceivedMessage& m) {
    std::string line = '#' + std::to_string(number) + ' ' + hostlink::MessageName(m.Header.Msg);
    if (IsChannelFrame(m)) {
        int nonZero = 0;
        const std::string runs = Runs(m.Payload, nonZero);
        line += " frame " + std::to_string(m.Payload.size()) + " bytes: ";
        if (nonZero == 0)
            line += "all 0";
        else
            line += runs + " (" + std::to_string(nonZero) + " above 0)";
        return line;
    }
    line += " wParam=" + Hex(m.Header.WParam) + " lParam=" + Hex(m.Header.LParam);
    if (!m.Payload.empty()) line += " length=" + std::to_string(m.Payload.size());
    return line;
}

std::string FormatJson(std::uint64_t number, const hostlink::ReceivedMessage& m) {
    std::string json = "{\"n\":" + std::to_string(number) +
                       ",\"msg\":" + std::to_string(m.Header.Msg) +
                       ",\"wParam\":" + std::to_string(m.Header.WParam) +
                       ",\"lParam\":" + std::to_string(m.Header.LParam) +
                       ",\"length\":" + std::to_string(m.Header.Length) +
                       ",\"sent\":" + (m.Header.IsSent() ? "true" : "false");
    if (IsChannelFrame(m)) {
        json += ",\"levels\":[";
        for (std::size_t i = 0; i < m.Payload.size(); ++i) {
            if (i > 0) json += ',';
            json += std::to_string(m.Payload[i]);
        }
        json += ']';
    }
    json += '}';
    return json;
}

} // namespace monitor
