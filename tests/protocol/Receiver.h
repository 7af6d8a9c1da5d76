#pragma once
// A UDP socket that collects datagrams inside the private namespace.

#include "core/Ipv4Address.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

using TDatagram = std::vector<std::uint8_t>;

class TReceiver {
public:
    // Listens on every address at `port`; joins `groups` on the private interface.
    explicit TReceiver(std::uint16_t port, std::vector<TIpv4Address> groups = {});
    ~TReceiver();
    bool Ok() const { return m_fd >= 0; }

    // The next datagram, or nullopt when none came within `timeout`.
    std::optional<TDatagram> Next(std::chrono::milliseconds timeout);
    // The first datagram for which `match` holds, skipping others.
    std::optional<TDatagram> WaitFor(const std::function<bool(const TDatagram&)>& match,
                                     std::chrono::milliseconds timeout);
    void SendTo(const char* address, std::uint16_t port, const TDatagram& bytes);

private:
    int m_fd = -1;
};
