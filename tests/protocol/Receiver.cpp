#include "Receiver.h"

#include "PrivateNetwork.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

TReceiver::TReceiver(std::uint16_t port, std::vector<TIpv4Address> groups) {
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return;
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    for (const TIpv4Address group : groups) {
        ip_mreq request{};
        request.imr_multiaddr.s_addr = htonl(group.value);
        request.imr_interface.s_addr = inet_addr(LOCAL_ADDRESS);
        ::setsockopt(m_fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request);
    }
}

TReceiver::~TReceiver() {
    if (m_fd >= 0) ::close(m_fd);
}

std::optional<TDatagram> TReceiver::Next(std::chrono::milliseconds timeout) {
    pollfd fd{m_fd, POLLIN, 0};
    if (m_fd < 0 || ::poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
    TDatagram bytes(2048);
    const ssize_t n = ::recv(m_fd, bytes.data(), bytes.size(), 0);
    if (n < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

std::optional<TDatagram> TReceiver::WaitFor(const std::function<bool(const TDatagram&)>& match,
                                            std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        auto datagram = Next(left);
        if (!datagram) return std::nullopt;
        if (match(*datagram)) return datagram;
    }
}

void TReceiver::SendTo(const char* address, std::uint16_t port, const TDatagram& bytes) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = inet_addr(address);
    ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
}
