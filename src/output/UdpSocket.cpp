#include "output/UdpSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in SocketAddress(TIpv4Address address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address.value);
    return sa;
}

bool IsNetworkMissing(int error) {
    return error == ENETUNREACH || error == EHOSTUNREACH || error == ENODEV ||
           error == EADDRNOTAVAIL || error == ENETDOWN;
}

} // namespace

TUdpSocket::~TUdpSocket() {
    Close();
}

bool TUdpSocket::Open(std::vector<TIpv4Address> allowed, std::string& error) {
    Close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        error = std::string("cannot open a UDP socket: ") + std::strerror(errno);
        return false;
    }
    allowed_ = std::move(allowed);
    const int on = 1;
    // A directed broadcast the user typed is only sent with this flag.
    ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    const unsigned char ttl = 8;
    ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
    return true;
}

bool TUdpSocket::Bind(TIpv4Address address, std::uint16_t port, std::string& error) {
    if (fd_ < 0) return false;
    // Beside a node that holds the port on every address.
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in sa = SocketAddress(address, port);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        error = "cannot listen on UDP port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void TUdpSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

TSendResult TUdpSocket::SendTo(TIpv4Address to, std::uint16_t port,
                               std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return TSendResult::Failed;
    if (std::find(allowed_.begin(), allowed_.end(), to) == allowed_.end())
        return TSendResult::Refused;
    return Send(to, port, bytes);
}

TSendResult TUdpSocket::ReplyTo(TIpv4Address requester, std::uint16_t port,
                                std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return TSendResult::Failed;
    if (requester.IsUnspecified() || requester.IsMulticast() || requester.value == 0xFFFFFFFFu ||
        port == 0)
        return TSendResult::Refused;
    // A directed broadcast as a sender's address is forged: no host has it.
    const std::uint32_t local = LocalAddressTowards(requester, port);
    if (local != 0 && BroadcastAddressOf(TIpv4Address{local}) == requester.value)
        return TSendResult::Refused;
    return Send(requester, port, bytes);
}

TSendResult TUdpSocket::Send(TIpv4Address to, std::uint16_t port,
                             std::span<const std::uint8_t> bytes) {
    const sockaddr_in sa = SocketAddress(to, port);
    const ssize_t n = ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                               reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (n == static_cast<ssize_t>(bytes.size())) return TSendResult::Sent;
    if (n < 0 && IsNetworkMissing(errno)) return TSendResult::NoNetwork;
    return TSendResult::Failed;
}

std::size_t TUdpSocket::Receive(std::span<std::uint8_t> buffer, TIpv4Address& from,
                                std::uint16_t& port) {
    if (fd_ < 0) return 0;
    for (;;) {
        sockaddr_in sa{};
        socklen_t len = sizeof sa;
        const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&sa), &len);
        if (n < 0) return 0;
        if (static_cast<std::size_t>(n) > buffer.size()) continue; // too large: not ours
        from = TIpv4Address{ntohl(sa.sin_addr.s_addr)};
        port = ntohs(sa.sin_port);
        return static_cast<std::size_t>(n);
    }
}

std::uint32_t TUdpSocket::LocalAddressTowards(TIpv4Address to, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // connect() on UDP only picks a route; nothing is sent.
    const sockaddr_in sa = SocketAddress(to, port);
    std::uint32_t result = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        sockaddr_in local{};
        socklen_t len = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0)
            result = ntohl(local.sin_addr.s_addr);
    }
    ::close(fd);
    return result;
}

std::uint32_t TUdpSocket::BroadcastAddressOf(TIpv4Address local) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return 0;
    std::uint32_t result = 0;
    for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_BROADCAST)) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (ntohl(address->sin_addr.s_addr) != local.value) continue;
        if (i->ifa_broadaddr)
            result = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr);
        // An address added without "brd" names none (the list then gives the
        // address itself), yet the system still takes the network's highest
        // address as its broadcast. Never the address itself: that would
        // take unicast.
        if (result == local.value) result = 0;
        if (result == 0 && i->ifa_netmask) {
            const std::uint32_t mask =
                ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
            if (~mask > 1u) result = local.value | ~mask;
        }
        break;
    }
    ::freeifaddrs(list);
    return result;
}
