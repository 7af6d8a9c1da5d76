#pragma once
// The endpoint layer over Unix-domain stream sockets. One connection is kept
// while the socket file it was made to stays the same, so that a restarted
// host (a new socket file) is found on the next call.

#include <string>
#include <sys/types.h>

#include "hostlink/Endpoint.h"

namespace hostlink {

class UnixEndpoint final : public Endpoint {
public:
    UnixEndpoint() = default;
    ~UnixEndpoint() override;
    UnixEndpoint(const UnixEndpoint&) = delete;
    UnixEndpoint& operator=(const UnixEndpoint&) = delete;

    bool Find(std::string_view className) override;
    bool Send(const HostMessage& message, std::chrono::milliseconds timeout,
              std::int64_t* result) override;
    bool Post(const HostMessage& message) override;

private:
    bool Connect();
    bool ConnectionStillUsable() const;
    void Drop();

    std::string className_;
    std::string path_;
    int fd_ = -1;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

} // namespace hostlink
