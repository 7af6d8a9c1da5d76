#include "hostlink/UnixEndpoint.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include "hostlink/EndpointTrust.h"

namespace hostlink {
namespace {

using Clock = std::chrono::steady_clock;

// Posted messages and the newest frame after a recovery may wait this long
// for room in the socket: a half-written message would corrupt the stream.
constexpr auto kWriteGrace = std::chrono::milliseconds(50);

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

// Writes all of iov, waiting no later than the deadline. Never raises
// SIGPIPE. `written` counts the bytes that went out.
bool WriteAll(int fd, iovec* iov, int count, Clock::time_point deadline, std::size_t& written) {
    written = 0;
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
        written += static_cast<std::size_t>(n);
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

MessageHeader HeaderOf(const HostMessage& message, std::uint32_t flags) {
    return {message.Msg, message.WParam, message.LParam, message.Length, flags};
}

// Writes one message: the header, then the payload when there is one.
bool WriteMessage(int fd, const MessageHeader& header, const std::uint8_t* data,
                  Clock::time_point deadline, std::size_t& written) {
    std::uint8_t bytes[HEADER_SIZE];
    EncodeHeader(header, bytes);
    iovec iov[2] = {{bytes, HEADER_SIZE}, {const_cast<std::uint8_t*>(data), header.Length}};
    return WriteAll(fd, iov, header.Length > 0 ? 2 : 1, deadline, written);
}

enum class ReadResult { Done, Closed, TimedOut };

ReadResult ReadExactly(int fd, std::uint8_t* out, std::size_t size, Clock::time_point deadline,
                       std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = ::recv(fd, out + got, size - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) return ReadResult::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return ReadResult::Closed;
        if (!WaitFor(fd, POLLIN, deadline)) return ReadResult::TimedOut;
    }
    return ReadResult::Done;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool FillAddress(sockaddr_un& addr, const std::string& path) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

UnixEndpoint::~UnixEndpoint() {
    Lock lock(mutex_);
    listener_ = nullptr;
    DropLocked();
    Finish(lock);
}

void UnixEndpoint::Finish(Lock& lock) {
    std::vector<Watcher> ended;
    ended.swap(retired_);
    const News news = TakeNewsLocked();
    lock.unlock();
    for (Watcher& w : ended) {
        w.Thread.join();
        ::close(w.WakeFd);
        if (w.SocketFd >= 0) ::close(w.SocketFd);
    }
    news.Tell();
}

UnixEndpoint::News UnixEndpoint::TakeNewsLocked() {
    if (!unannounced_) return {};
    unannounced_ = false;
    return {listener_, status_};
}

LinkStatus UnixEndpoint::Status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

void UnixEndpoint::SetStatusListener(LinkStatusListener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void UnixEndpoint::SetStatusLocked(LinkState state, std::string_view reason) {
    if (status_.State == state && status_.Reason == reason && status_.Path == path_) return;
    status_ = {state, path_, std::string(reason)};
    unannounced_ = true;
}

bool UnixEndpoint::FailLocked(LinkState state, std::string_view reason) {
    DropLocked();
    SetStatusLocked(state, reason);
    return false;
}

bool UnixEndpoint::LostWhileHungLocked() {
    // The next Find looks afresh.
    broken_ = true;
    hung_ = false;
    SetStatusLocked(LinkState::NoHost);
    return false;
}

void UnixEndpoint::DropLocked() {
    if (watcher_) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(watcher_->WakeFd, &one, sizeof one);
        // The thread may still poll the socket: it is closed after the join.
        watcher_->SocketFd = fd_;
        retired_.push_back(std::move(*watcher_));
        watcher_.reset();
    } else if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    hung_ = false;
    broken_ = false;
    replyGot_ = 0;
    hasPending_ = false;
}

bool UnixEndpoint::ConnectionStillUsableLocked() const {
    // Anything readable between messages is either the host's close or bytes
    // it should not have sent; either way the connection is done.
    pollfd p{fd_, POLLIN, 0};
    const int n = ::poll(&p, 1, 0);
    return n == 0;
}

UnixEndpoint::ConnectResult UnixEndpoint::ConnectLocked(const struct stat& folder,
                                                        const struct stat& socketFile,
                                                        std::string& reason) {
    // The folder is pinned by a descriptor and the socket reached through it,
    // so a folder swapped after the checks is not followed.
    const int dirFd = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0) return ConnectResult::NoHost;
    struct stat pinned {};
    if (::fstat(dirFd, &pinned) != 0 || !SameFile(pinned, folder)) {
        ::close(dirFd);
        reason = "the folder was replaced while connecting";
        return ConnectResult::Refused;
    }
    sockaddr_un addr{};
    const std::string viaFd = "/proc/self/fd/" + std::to_string(dirFd) + "/" + name_;
    const bool haveProc = ::access("/proc/self/fd", X_OK) == 0;
    if (!FillAddress(addr, haveProc ? viaFd : path_)) {
        ::close(dirFd);
        return ConnectResult::NoHost;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        ::close(dirFd);
        return ConnectResult::NoHost;
    }
    // A Unix stream connect completes at once or fails at once (a full
    // backlog gives EAGAIN): no host that will take us now.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        ::close(dirFd);
        return ConnectResult::NoHost;
    }
    // connect() follows a symbolic link put in the socket's place after the
    // check: the name must still be the socket that was checked.
    struct stat after {};
    const bool same = ::fstatat(dirFd, name_.c_str(), &after, AT_SYMLINK_NOFOLLOW) == 0 &&
                      SameFile(after, socketFile);
    ::close(dirFd);
    if (!same) {
        ::close(fd);
        reason = "the endpoint was replaced while connecting";
        return ConnectResult::Refused;
    }
    if (auto problem = PeerProblem(fd)) {
        ::close(fd);
        reason = *problem;
        return ConnectResult::Refused;
    }
    fd_ = fd;
    dev_ = socketFile.st_dev;
    ino_ = socketFile.st_ino;
    return ConnectResult::Connected;
}

bool UnixEndpoint::Find(std::string_view className) {
    Lock lock(mutex_);
    const bool found = FindLocked(className);
    Finish(lock);
    return found;
}

bool UnixEndpoint::FindLocked(std::string_view className) {
    if (!located_ || className != className_) {
        DropLocked();
        const EndpointLocation where = LocateEndpoint(className);
        className_.assign(className);
        folder_ = where.Folder;
        name_ = where.Name;
        path_ = where.Path();
        fallbackFolder_ = where.Fallback;
        located_ = true;
    }
    if (broken_) DropLocked();

    // A connection to a peer that passed every check stays trusted while the
    // name still is the socket it was made to: a replaced file (new inode)
    // goes through all the checks again. This keeps a frame's cost to one
    // lstat.
    if (fd_ >= 0 && !hung_) {
        struct stat now {};
        if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == dev_ && now.st_ino == ino_ &&
            now.st_uid == ::getuid() && S_ISSOCK(now.st_mode) && ConnectionStillUsableLocked())
            return true;
    }

    struct stat folder {};
    if (::lstat(folder_.c_str(), &folder) != 0) {
        if (errno != ENOENT || !fallbackFolder_) return FailLocked(LinkState::NoHost);
        // Nobody made the fallback folder yet: make it private ourselves, so
        // that no other user can.
        if (auto problem = EnsurePrivateFolder(folder_, true))
            return FailLocked(LinkState::Refused, *problem);
        if (::lstat(folder_.c_str(), &folder) != 0) return FailLocked(LinkState::NoHost);
    }
    if (auto problem = FolderProblem(folder, fallbackFolder_))
        return FailLocked(LinkState::Refused, *problem);
    struct stat socketFile {};
    if (::lstat(path_.c_str(), &socketFile) != 0) return FailLocked(LinkState::NoHost);
    if (auto problem = SocketProblem(socketFile)) return FailLocked(LinkState::Refused, *problem);
    if (fd_ >= 0 && socketFile.st_dev == dev_ && socketFile.st_ino == ino_) {
        if (!hung_ && ConnectionStillUsableLocked()) return true;
        // The watcher may not have seen yet what the host did: an answer, or
        // its end (and a new host can get the old socket's inode number).
        if (hung_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0) ServiceHungLocked();
            if (!broken_) return true;
        }
    }
    DropLocked();
    std::string reason;
    switch (ConnectLocked(folder, socketFile, reason)) {
    case ConnectResult::Connected:
        SetStatusLocked(LinkState::Connected);
        return true;
    case ConnectResult::Refused:
        return FailLocked(LinkState::Refused, reason);
    case ConnectResult::NoHost:
        break;
    }
    return FailLocked(LinkState::NoHost);
}

bool UnixEndpoint::Send(const HostMessage& message, std::chrono::milliseconds timeout,
                        std::int64_t* result) {
    Lock lock(mutex_);
    const bool answered = SendLocked(message, timeout, result);
    Finish(lock);
    return answered;
}

bool UnixEndpoint::SendLocked(const HostMessage& message, std::chrono::milliseconds timeout,
                              std::int64_t* result) {
    if (fd_ < 0 || broken_) return false;
    if (hung_) {
        // Latest wins: the host gets this one when it answers the old one.
        pendingHeader_ = HeaderOf(message, FLAG_SENT);
        pendingData_.assign(message.Data, message.Data + message.Length);
        hasPending_ = true;
        return false;
    }
    const auto deadline = Clock::now() + timeout;
    std::size_t written = 0;
    if (!WriteMessage(fd_, HeaderOf(message, FLAG_SENT), message.Data, deadline, written))
        return FailLocked(LinkState::NoHost);
    switch (ReadExactly(fd_, reply_, REPLY_SIZE, deadline, replyGot_)) {
    case ReadResult::Done:
        replyGot_ = 0;
        if (result != nullptr) *result = DecodeReply(reply_);
        return true;
    case ReadResult::TimedOut:
        // The host has the message and owes its answer: remember that,
        // rather than wait again for every frame.
        hung_ = true;
        SetStatusLocked(LinkState::NotAnswering);
        StartWatchingLocked();
        return false;
    case ReadResult::Closed:
        break;
    }
    return FailLocked(LinkState::NoHost);
}

bool UnixEndpoint::Post(const HostMessage& message) {
    Lock lock(mutex_);
    const bool posted = PostLocked(message);
    Finish(lock);
    return posted;
}

bool UnixEndpoint::PostLocked(const HostMessage& message) {
    if (fd_ < 0 || broken_) return false;
    // A posted message never waits for the host; a host whose queue is full
    // loses it, but a half-written message would corrupt the stream, so that
    // one is finished or the connection given up.
    const auto deadline = Clock::now() + (hung_ ? std::chrono::milliseconds(0) : kWriteGrace);
    std::size_t written = 0;
    if (WriteMessage(fd_, HeaderOf(message, 0), message.Data, deadline, written)) return true;
    if (written == 0 && hung_) return false;
    return FailLocked(LinkState::NoHost);
}

void UnixEndpoint::StartWatchingLocked() {
    if (watcher_) {
        // One from an earlier hang, ended or about to.
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(watcher_->WakeFd, &one, sizeof one);
        retired_.push_back(std::move(*watcher_));
        watcher_.reset();
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        // Without a watcher the next Find drops the connection and looks
        // afresh; better than leaving the host marked hung for good.
        broken_ = true;
        return;
    }
    watcher_ = Watcher{std::thread([this, fd = fd_, wake] { Watch(fd, wake); }), wake, -1};
}

void UnixEndpoint::Watch(int fd, int wakeFd) {
    for (;;) {
        pollfd p[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int n = ::poll(p, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0 && p[1].revents != 0) return; // asked to end
        Lock lock(mutex_);
        if (fd_ != fd || !hung_) return;
        const bool more = n < 0 ? LostWhileHungLocked() : ServiceHungLocked();
        const News news = TakeNewsLocked();
        lock.unlock();
        news.Tell();
        if (!more) return;
    }
}

bool UnixEndpoint::ServiceHungLocked() {
    const ssize_t n = ::recv(fd_, reply_ + replyGot_, REPLY_SIZE - replyGot_, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
    if (n <= 0) return LostWhileHungLocked(); // the host went away
    replyGot_ += static_cast<std::size_t>(n);
    if (replyGot_ < REPLY_SIZE) return true;
    replyGot_ = 0;
    if (hasPending_) {
        // Answered at last: it gets the newest levels now, and stays marked
        // until it answers those too.
        hasPending_ = false;
        std::size_t written = 0;
        if (!WriteMessage(fd_, pendingHeader_, pendingData_.data(), Clock::now() + kWriteGrace,
                          written))
            return LostWhileHungLocked();
        return true;
    }
    hung_ = false;
    SetStatusLocked(LinkState::Connected);
    return false;
}

std::unique_ptr<Endpoint> CreatePlatformEndpoint() {
    return std::make_unique<UnixEndpoint>();
}

} // namespace hostlink
