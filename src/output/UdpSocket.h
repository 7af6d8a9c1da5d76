#pragma once
// A non-blocking IPv4 UDP socket that sends only to the destinations it was
// given when opened, so a bug elsewhere cannot aim packets anywhere else.

#include "core/Ipv4Address.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class TSendResult { Sent, NoNetwork, Refused, Failed };

class TUdpSocket {
public:
    TUdpSocket() = default;
    ~TUdpSocket();
    TUdpSocket(const TUdpSocket&) = delete;
    TUdpSocket& operator=(const TUdpSocket&) = delete;

    // Opens the socket; `allowed` lists every address it may ever send to.
    bool Open(std::vector<TIpv4Address> allowed, std::string& error);
    // Listens on `port` of `address` only (a broadcast address takes only
    // what is broadcast there, never unicast meant for another program on
    // this machine); false where that is not allowed.
    bool Bind(TIpv4Address address, std::uint16_t port, std::string& error);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    TSendResult SendTo(TIpv4Address to, std::uint16_t port, std::span<const std::uint8_t> bytes);
    // An answer to the host a request came from, which need not be on the
    // list; refused for any address that is not one host.
    TSendResult ReplyTo(TIpv4Address requester, std::uint16_t port,
                        std::span<const std::uint8_t> bytes);

    // Reads one datagram if one is waiting; datagrams larger than `buffer`
    // are dropped whole. Returns the size read, 0 when none is waiting.
    std::size_t Receive(std::span<std::uint8_t> buffer, TIpv4Address& from, std::uint16_t& port);

    // The local address the system would use towards `to`, 0 if none.
    static std::uint32_t LocalAddressTowards(TIpv4Address to, std::uint16_t port);
    // The broadcast address of the interface that holds `local`, 0 if none.
    static std::uint32_t BroadcastAddressOf(TIpv4Address local);

private:
    TSendResult Send(TIpv4Address to, std::uint16_t port, std::span<const std::uint8_t> bytes);

    int fd_ = -1;
    std::vector<TIpv4Address> allowed_;
};
