#include "hostlink/HostServer.h"

#include "hostlink/EndpointTrust.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace hostlink {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void WriteFully(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Whether something accepts connections at `addr` now.
bool SomeoneListens(const sockaddr_un& addr) {
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (probe < 0) return false;
    const int rc = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    const int err = errno;
    ::close(probe);
    // A full backlog (EAGAIN) is a live host too.
    return rc == 0 || err == EAGAIN;
}

} // namespace

HostServer::HostServer(std::string path, Options options, Handler handler)
    : path_(std::move(path)), options_(options), handler_(std::move(handler)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.size() >= sizeof addr.sun_path)
        throw std::runtime_error("endpoint path too long: " + path_);
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);

    // The runtime directory may not exist yet (no session manager made it).
    if (const auto slash = path_.rfind('/'); slash != std::string::npos && slash > 0) {
        const std::string folder = path_.substr(0, slash);
        if (auto problem = EnsurePrivateFolder(folder, options_.PrivateFolder))
            throw std::runtime_error("refusing " + folder + ": " + *problem);
    }

    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode))
            throw std::runtime_error(path_ + " exists and is not a socket; not replacing it");
        if (SomeoneListens(addr)) throw std::runtime_error("another host is listening at " + path_);
        ::unlink(path_.c_str()); // stale: its host has gone
    }

    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) Fail("socket");
    // The file takes the socket's mode at bind, whatever the umask allows.
    ::fchmod(listenFd_, 0600);
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int saved = errno;
        ::close(listenFd_);
        listenFd_ = -1;
        errno = saved;
        Fail("cannot listen at " + path_);
    }
    ::chmod(path_.c_str(), 0600);
    if (::lstat(path_.c_str(), &st) == 0) {
        dev_ = st.st_dev;
        ino_ = st.st_ino;
    }
    if (::listen(listenFd_, 16) != 0) Fail("listen");
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe");
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
}

HostServer::~HostServer() {
    for (Connection& c : connections_)
        ::close(c.Fd);
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        // Another host may have taken the name since: remove only our own.
        struct stat st {};
        if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_)
            ::unlink(path_.c_str());
    }
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void HostServer::Stop() {
    stop_ = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
}

void HostServer::Accept() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) connections_.push_back({fd, {}});
}

bool HostServer::HandleBuffered(Connection& c) {
    while (c.Buffer.size() >= HEADER_SIZE) {
        const MessageHeader header = DecodeHeader(c.Buffer.data());
        if (header.Length > MAX_PAYLOAD) return false; // not a peer of ours
        const std::size_t total = HEADER_SIZE + header.Length;
        if (c.Buffer.size() < total) return true;
        ReceivedMessage message{header, std::vector<std::uint8_t>(c.Buffer.begin() + HEADER_SIZE,
                                                                  c.Buffer.begin() + total)};
        c.Buffer.erase(c.Buffer.begin(), c.Buffer.begin() + static_cast<std::ptrdiff_t>(total));
        if (header.IsSent() && options_.CloseInsteadOfReply) return false;
        if (handler_) handler_(message);
        if (header.IsSent() && !options_.NoReply) {
            if (options_.ReplyDelay.count() > 0) std::this_thread::sleep_for(options_.ReplyDelay);
            std::uint8_t reply[REPLY_SIZE];
            EncodeReply(0, reply);
            WriteFully(c.Fd, reply, REPLY_SIZE);
        }
    }
    return true;
}

bool HostServer::ReadFrom(Connection& c) {
    std::uint8_t chunk[4096];
    const ssize_t n = ::recv(c.Fd, chunk, sizeof chunk, 0);
    if (n < 0) return errno == EINTR || errno == EAGAIN;
    if (n == 0) return false;
    c.Buffer.insert(c.Buffer.end(), chunk, chunk + n);
    return HandleBuffered(c);
}

void HostServer::Run() {
    std::vector<pollfd> fds;
    while (!stop_) {
        fds.clear();
        fds.push_back({wakeRead_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        for (const Connection& c : connections_)
            fds.push_back({c.Fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (stop_) return;
        // Connections in the order they came, then new ones.
        std::vector<std::size_t> finished;
        for (std::size_t i = 0; i < connections_.size(); ++i)
            if (fds[i + 2].revents != 0 && !ReadFrom(connections_[i])) finished.push_back(i);
        for (auto it = finished.rbegin(); it != finished.rend(); ++it) {
            ::close(connections_[*it].Fd);
            connections_.erase(connections_.begin() + static_cast<std::ptrdiff_t>(*it));
        }
        if (fds[1].revents & POLLIN) Accept();
    }
}

} // namespace hostlink
