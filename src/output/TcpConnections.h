#pragma once
// The TCP connections of this network namespace as the system lists them in
// /proc, so that a client can tell whether a connection it gave up has
// really ended before it opens another: a stopped daemon leaves each one
// stuck, half closed or with unsent data.
// Header-only: the OLA module, which carries no copy of the output library,
// uses it too.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tcpconnections {

// The states the system gives a connection (include/net/tcp_states.h).
enum : int {
    ESTABLISHED = 1,
    SYN_SENT = 2,
    FIN_WAIT1 = 4,
    FIN_WAIT2 = 5,
    TIME_WAIT = 6,
    CLOSE = 7,
};

struct TEntry {
    std::uint16_t localPort = 0;
    std::uint16_t remotePort = 0;
    int state = 0;
    std::uint64_t inode = 0; // 0 once no descriptor holds it
};

// The table is read whole only up to this size; a longer one is cut.
inline constexpr std::size_t MAX_TABLE_BYTES = 4 * 1024 * 1024;

namespace detail {

inline bool Hex(std::string_view text, std::uint64_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size();
}

// "0100007F:2352" -> 0x2352.
inline bool Port(std::string_view field, std::uint16_t& port) {
    const auto colon = field.rfind(':');
    std::uint64_t value = 0;
    if (colon == std::string_view::npos || !Hex(field.substr(colon + 1), value) || value > 0xFFFF)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

inline std::vector<std::string_view> Fields(std::string_view line, std::size_t most) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (fields.size() < most) {
        pos = line.find_first_not_of(' ', pos);
        if (pos == std::string_view::npos) break;
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

} // namespace detail

// The rows of /proc/net/tcp; a line that does not read is skipped.
inline std::vector<TEntry> ParseTable(std::string_view text) {
    std::vector<TEntry> entries;
    std::size_t pos = text.find('\n'); // the heading
    while (pos != std::string_view::npos && pos + 1 < text.size()) {
        const std::size_t start = pos + 1;
        pos = text.find('\n', start);
        const std::string_view line =
            text.substr(start, (pos == std::string_view::npos ? text.size() : pos) - start);
        // sl local remote st tx:rx tr:when retrnsmt uid timeout inode
        const auto f = detail::Fields(line, 10);
        if (f.size() < 10) continue;
        TEntry entry;
        std::uint64_t state = 0;
        if (!detail::Port(f[1], entry.localPort) || !detail::Port(f[2], entry.remotePort) ||
            !detail::Hex(f[3], state) || state > 0xFF)
            continue;
        entry.state = static_cast<int>(state);
        if (const auto [end, ec] =
                std::from_chars(f[9].data(), f[9].data() + f[9].size(), entry.inode);
            ec != std::errc() || end != f[9].data() + f[9].size())
            continue;
        entries.push_back(entry);
    }
    return entries;
}

// Whether a connection from one of `localPorts` to `remotePort` has not
// ended: only TIME_WAIT and CLOSE are over. FIN_WAIT2 is not, as the peer
// has not yet closed its side.
inline bool AnyUnended(const std::vector<TEntry>& table,
                       const std::vector<std::uint16_t>& localPorts, std::uint16_t remotePort) {
    return std::any_of(table.begin(), table.end(), [&](const TEntry& e) {
        return e.remotePort == remotePort && e.state != TIME_WAIT && e.state != CLOSE &&
               std::find(localPorts.begin(), localPorts.end(), e.localPort) != localPorts.end();
    });
}

// The local ports of connections to `remotePort` in `after` that `before`
// did not have.
inline std::vector<std::uint16_t> NewPorts(const std::vector<TEntry>& before,
                                           const std::vector<TEntry>& after,
                                           std::uint16_t remotePort) {
    std::vector<std::uint16_t> ports;
    for (const TEntry& e : after) {
        if (e.remotePort != remotePort || e.state == TIME_WAIT || e.state == CLOSE) continue;
        const bool old = std::any_of(before.begin(), before.end(), [&](const TEntry& b) {
            return b.remotePort == remotePort && b.localPort == e.localPort;
        });
        if (!old) ports.push_back(e.localPort);
    }
    return ports;
}

// /proc/net/tcp of this process's namespace; nullopt when it cannot be read.
inline std::optional<std::vector<TEntry>> ReadTable() {
    std::ifstream in("/proc/net/tcp", std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char buffer[16384];
    while (text.size() < MAX_TABLE_BYTES && in.read(buffer, sizeof buffer).gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    return ParseTable(text);
}

} // namespace tcpconnections
