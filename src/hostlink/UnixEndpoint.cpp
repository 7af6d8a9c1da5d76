#include "hostlink/UnixEndpoint.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

namespace hostlink {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until fd is ready for `events` or the deadline passes.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (n > 0) return (p.revents & (events | POLLHUP | POLLERR)) != 0;
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

// Writes all of iov, waiting no later than the deadline. Never raises SIGPIPE.
bool WriteAll(int fd, iovec* iov, int count, Clock::time_point deadline) {
    while (count > 0) {
        msghdr msg{};
        msg.msg_iov = iov;
        msg.msg_iovlen = static_cast<std::size_t>(count);
        const ssize_t n = ::sendmsg(fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, deadline))
                continue;
            return false;
        }
        auto left = static_cast<std::size_t>(n);
        while (count > 0 && left >= iov->iov_len) {
            left -= iov->iov_len;
            ++iov;
            --count;
        }
        if (count > 0) {
            iov->iov_base = static_cast<char*>(iov->iov_base) + left;
            iov->iov_len -= left;
        }
    }
    return true;
}

bool ReadExactly(int fd, std::uint8_t* out, std::size_t size, Clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::recv(fd, out + got, size - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) return false; // the host closed the connection
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLIN, deadline)) continue;
        return false;
    }
    return true;
}

} // namespace

UnixEndpoint::~UnixEndpoint() {
    Drop();
}

void UnixEndpoint::Drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool UnixEndpoint::ConnectionStillUsable() const {
    // Anything readable between messages is either the host's close or bytes
    // it should not have sent; either way the connection is done.
    pollfd p{fd_, POLLIN, 0};
    const int n = ::poll(&p, 1, 0);
    return n == 0;
}

bool UnixEndpoint::Connect() {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // A Unix stream connect completes at once or fails at once (a full
    // backlog gives EAGAIN): no host that will take us now.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool UnixEndpoint::Find(std::string_view className) {
    if (className != className_) {
        Drop();
        className_.assign(className);
        path_ = EndpointPath(className);
    }
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) {
        Drop();
        return false;
    }
    if (fd_ >= 0 && st.st_dev == dev_ && st.st_ino == ino_ && ConnectionStillUsable()) return true;
    Drop();
    if (!Connect()) return false;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    return true;
}

bool UnixEndpoint::Send(const HostMessage& message, std::chrono::milliseconds timeout,
                        std::int64_t* result) {
    if (fd_ < 0) return false;
    const auto deadline = Clock::now() + timeout;
    std::uint8_t header[HEADER_SIZE];
    EncodeHeader({message.Msg, message.WParam, message.LParam, message.Length, FLAG_SENT}, header);
    iovec iov[2] = {{header, HEADER_SIZE},
                    {const_cast<std::uint8_t*>(message.Data), message.Length}};
    std::uint8_t reply[REPLY_SIZE];
    if (!WriteAll(fd_, iov, message.Length > 0 ? 2 : 1, deadline) ||
        !ReadExactly(fd_, reply, REPLY_SIZE, deadline)) {
        Drop();
        return false;
    }
    if (result != nullptr) *result = DecodeReply(reply);
    return true;
}

bool UnixEndpoint::Post(const HostMessage& message) {
    if (fd_ < 0) return false;
    std::uint8_t header[HEADER_SIZE];
    EncodeHeader({message.Msg, message.WParam, message.LParam, message.Length, 0}, header);
    iovec iov[2] = {{header, HEADER_SIZE},
                    {const_cast<std::uint8_t*>(message.Data), message.Length}};
    // A posted message never waits; a host whose queue is full loses it, but
    // a half-written message would corrupt the stream, so finish that one.
    const auto deadline = Clock::now() + std::chrono::milliseconds(50);
    if (!WriteAll(fd_, iov, message.Length > 0 ? 2 : 1, deadline)) {
        Drop();
        return false;
    }
    return true;
}

std::unique_ptr<Endpoint> CreatePlatformEndpoint() {
    return std::make_unique<UnixEndpoint>();
}

} // namespace hostlink
