#include "hostlink/UnixEndpoint.h"

#include <algorithm>
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

// How long a frame taken from the queue has for its answer before the host
// counts as not answering again.
constexpr auto kQueuedAnswerWait = std::chrono::milliseconds(250);
// Keys written to the socket at once when it drains: one write, not one per key.
constexpr std::size_t kKeysPerWrite = 2048;

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

enum class WriteResult { Done, Full, Failed };

// Writes all of iov, waiting no later than the deadline (not at all when it
// has passed). Never raises SIGPIPE. `written` counts the bytes that went out.
WriteResult WriteAll(int fd, iovec* iov, int count, Clock::time_point deadline,
                     std::size_t& written) {
    written = 0;
    while (count > 0) {
        msghdr msg{};
        msg.msg_iov = iov;
        msg.msg_iovlen = static_cast<std::size_t>(count);
        const ssize_t n = ::sendmsg(fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return WriteResult::Failed;
            if (Clock::now() < deadline && WaitFor(fd, POLLOUT, deadline)) continue;
            return WriteResult::Full;
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
    return WriteResult::Done;
}

MessageHeader HeaderOf(const HostMessage& message, std::uint32_t flags) {
    return {message.Msg, message.WParam, message.LParam, message.Length, flags};
}

// Appends one encoded message to `out`.
void AppendMessage(std::vector<std::uint8_t>& out, const MessageHeader& header,
                   const std::uint8_t* data) {
    const std::size_t at = out.size();
    out.resize(at + HEADER_SIZE);
    EncodeHeader(header, out.data() + at);
    if (header.Length > 0) out.insert(out.end(), data, data + header.Length);
}

enum class ReadResult { Done, Closed, TimedOut };

ReadResult ReadExactly(int fd, std::uint8_t* out, std::size_t size, Clock::time_point deadline,
                       std::size_t& got) {
    got = 0;
    while (got < size) {
        // The answer is hardly ever there the moment the message has gone:
        // wait first rather than try a read that fails.
        if (!WaitFor(fd, POLLIN, deadline)) return ReadResult::TimedOut;
        const ssize_t n = ::recv(fd, out + got, size - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) return ReadResult::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return ReadResult::Closed;
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

void Wake(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
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

std::uint64_t UnixEndpoint::DroppedKeys() const {
    std::lock_guard lock(mutex_);
    return droppedKeys_;
}

std::uint64_t UnixEndpoint::Connections() const {
    std::lock_guard lock(mutex_);
    return connection_;
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

void UnixEndpoint::SettledLocked() {
    if (droppedKeys_ == 0) return SetStatusLocked(LinkState::Connected);
    SetStatusLocked(LinkState::Connected, std::to_string(droppedKeys_) +
                                              " keys were dropped while the host was not reading");
}

bool UnixEndpoint::FailLocked(LinkState state, std::string_view reason) {
    DropLocked();
    SetStatusLocked(state, reason);
    return false;
}

bool UnixEndpoint::LostLocked() {
    // The next Find drops the connection and looks afresh.
    broken_ = true;
    answerOwed_ = false;
    late_ = false;
    SetStatusLocked(LinkState::NoHost);
    return false;
}

void UnixEndpoint::DropLocked() {
    if (watcher_) {
        Wake(watcher_->WakeFd);
        // The thread may still poll the socket: it is closed after the join.
        watcher_->SocketFd = fd_;
        retired_.push_back(std::move(*watcher_));
        watcher_.reset();
    } else if (fd_ >= 0) {
        ::close(fd_);
    }
    watching_ = false;
    fd_ = -1;
    answerOwed_ = false;
    late_ = false;
    broken_ = false;
    replyGot_ = 0;
    droppedKeys_ += keys_.size();
    keys_.clear();
    out_.clear();
    outDone_ = 0;
    frameQueued_ = false;
    stalled_ = false;
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
    // A Unix stream connect completes at once or fails at once: refused is
    // a stale file, a full backlog (EAGAIN) a live host that is not accepting.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        ::close(fd);
        ::close(dirFd);
        return err == EAGAIN ? ConnectResult::Busy : ConnectResult::NoHost;
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
        refused_ = Refusal{socketFile.st_dev, socketFile.st_ino, socketFile.st_uid,
                           socketFile.st_ctim, reason};
        return ConnectResult::Refused;
    }
    fd_ = fd;
    dev_ = socketFile.st_dev;
    ino_ = socketFile.st_ino;
    ++connection_;
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
    if (fd_ >= 0 && !answerOwed_) {
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
        if (!answerOwed_ && ConnectionStillUsableLocked()) return true;
        // The watcher may not have seen yet what the host did: an answer, or
        // its end (and a new host can get the old socket's inode number).
        if (answerOwed_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && ServiceAnswerLocked()) FlushAndWatchLocked();
            if (!broken_) return true;
        }
    }
    // A peer refused once is not asked again until the file changes.
    if (refused_ && refused_->Is(socketFile))
        return FailLocked(LinkState::Refused, refused_->Reason);
    DropLocked();
    std::string reason;
    switch (ConnectLocked(folder, socketFile, reason)) {
    case ConnectResult::Connected:
        SettledLocked();
        return true;
    case ConnectResult::Refused:
        return FailLocked(LinkState::Refused, reason);
    case ConnectResult::Busy:
        return FailLocked(LinkState::NotAnswering);
    case ConnectResult::NoHost:
        break;
    }
    return FailLocked(LinkState::NoHost);
}

void UnixEndpoint::KeepFrameLocked(const HostMessage& frame) {
    haveFrame_ = true;
    frameHeader_ = HeaderOf(frame, FLAG_SENT);
    frameData_.assign(frame.Data, frame.Data + frame.Length);
    frameConnection_ = 0;
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
    KeepFrameLocked(message);
    if (answerOwed_ || !QueueEmptyLocked()) {
        // Latest wins: the host gets this one once it has answered the old
        // one and read what is queued before it.
        frameQueued_ = true;
        FlushAndWatchLocked();
        return false;
    }
    const auto deadline = Clock::now() + timeout;
    std::uint8_t bytes[HEADER_SIZE];
    EncodeHeader(frameHeader_, bytes);
    iovec iov[2] = {{bytes, HEADER_SIZE}, {frameData_.data(), frameData_.size()}};
    std::size_t written = 0;
    switch (WriteAll(fd_, iov, message.Length > 0 ? 2 : 1, deadline, written)) {
    case WriteResult::Done:
        break;
    case WriteResult::Full: {
        // The host stopped reading mid-frame: the rest follows when it reads
        // again, and its answer is owed from then.
        std::vector<std::uint8_t> whole;
        AppendMessage(whole, frameHeader_, frameData_.data());
        out_.insert(out_.end(), whole.begin() + static_cast<std::ptrdiff_t>(written), whole.end());
        frameConnection_ = connection_;
        answerOwed_ = true;
        late_ = true;
        stalled_ = true;
        SetStatusLocked(LinkState::NotAnswering);
        WatchLocked();
        return false;
    }
    case WriteResult::Failed:
        return FailLocked(LinkState::NoHost);
    }
    frameConnection_ = connection_;
    switch (ReadExactly(fd_, reply_, REPLY_SIZE, deadline, replyGot_)) {
    case ReadResult::Done:
        replyGot_ = 0;
        if (result != nullptr) *result = DecodeReply(reply_);
        return true;
    case ReadResult::TimedOut:
        // The host has the message and owes its answer: remember that,
        // rather than wait again for every frame.
        answerOwed_ = true;
        late_ = true;
        SetStatusLocked(LinkState::NotAnswering);
        WatchLocked();
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

void UnixEndpoint::QueueKeyLocked(const MessageHeader& header) {
    if (keys_.size() >= MAX_QUEUED_KEYS) {
        keys_.pop_front();
        ++droppedKeys_;
    }
    keys_.push_back(header);
}

bool UnixEndpoint::PostLocked(const HostMessage& message) {
    if (fd_ < 0 || broken_) return false;
    const MessageHeader header = HeaderOf(message, 0);
    if (!QueueEmptyLocked()) {
        // Behind what the host has not read yet, in order.
        if (header.Length == 0)
            QueueKeyLocked(header);
        else
            AppendMessage(out_, header, message.Data);
        FlushAndWatchLocked();
        return true;
    }
    std::uint8_t bytes[HEADER_SIZE];
    EncodeHeader(header, bytes);
    iovec iov[2] = {{bytes, HEADER_SIZE}, {const_cast<std::uint8_t*>(message.Data), header.Length}};
    std::size_t written = 0;
    switch (WriteAll(fd_, iov, header.Length > 0 ? 2 : 1, Clock::time_point{}, written)) {
    case WriteResult::Done:
        return true;
    case WriteResult::Full:
        // A posted message never waits for the host; a half-written one is
        // finished before anything else goes.
        if (written == 0 && header.Length == 0) {
            QueueKeyLocked(header);
        } else {
            std::vector<std::uint8_t> whole;
            AppendMessage(whole, header, message.Data);
            out_.insert(out_.end(), whole.begin() + static_cast<std::ptrdiff_t>(written),
                        whole.end());
        }
        stalled_ = true;
        SetStatusLocked(LinkState::NotAnswering);
        WatchLocked();
        return true;
    case WriteResult::Failed:
        break;
    }
    return FailLocked(LinkState::NoHost);
}

void UnixEndpoint::Missed(const HostMessage& frame) {
    Lock lock(mutex_);
    KeepFrameLocked(frame);
    frameQueued_ = false;
    Finish(lock);
}

void UnixEndpoint::Refresh(std::string_view className) {
    Lock lock(mutex_);
    if (FindLocked(className) && haveFrame_ && frameConnection_ != connection_ && !frameQueued_) {
        // A host that started or restarted since the newest frame: it gets
        // the levels now rather than at the next change.
        frameQueued_ = true;
        FlushAndWatchLocked();
    }
    Finish(lock);
}

UnixEndpoint::Flush UnixEndpoint::FlushLocked() {
    for (;;) {
        while (outDone_ < out_.size()) {
            const ssize_t n = ::send(fd_, out_.data() + outDone_, out_.size() - outDone_,
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                outDone_ += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                stalled_ = true;
                return Flush::Blocked;
            }
            return Flush::Broken;
        }
        out_.clear();
        outDone_ = 0;
        if (!keys_.empty()) {
            const std::size_t n = std::min(keys_.size(), kKeysPerWrite);
            out_.reserve(n * HEADER_SIZE);
            for (std::size_t i = 0; i < n; ++i)
                AppendMessage(out_, keys_[i], nullptr);
            keys_.erase(keys_.begin(), keys_.begin() + static_cast<std::ptrdiff_t>(n));
            continue;
        }
        if (frameQueued_ && !answerOwed_) {
            AppendMessage(out_, frameHeader_, frameData_.data());
            frameQueued_ = false;
            frameConnection_ = connection_;
            answerOwed_ = true;
            late_ = false;
            answerDue_ = Clock::now() + kQueuedAnswerWait;
            continue;
        }
        stalled_ = false;
        return Flush::Done;
    }
}

bool UnixEndpoint::FlushAndSettleLocked() {
    switch (FlushLocked()) {
    case Flush::Broken:
        LostLocked();
        return false;
    case Flush::Blocked:
        SetStatusLocked(LinkState::NotAnswering);
        break;
    case Flush::Done:
        if (!late_) SettledLocked();
        break;
    }
    return true;
}

void UnixEndpoint::FlushAndWatchLocked() {
    if (!FlushAndSettleLocked()) return;
    if (answerOwed_ || !QueueEmptyLocked() || frameQueued_) WatchLocked();
}

void UnixEndpoint::WatchLocked() {
    if (watching_) {
        // Let it see what it is to wait for now.
        Wake(watcher_->WakeFd);
        return;
    }
    if (watcher_) {
        // One that has ended its loop.
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
    watching_ = true;
    watcher_ = Watcher{std::thread([this, fd = fd_, wake, c = connection_] { Watch(fd, wake, c); }),
                       wake, -1};
}

void UnixEndpoint::Watch(int fd, int wakeFd, std::uint64_t connection) {
    Lock lock(mutex_);
    for (;;) {
        if (connection_ != connection || fd_ != fd) return; // dropped: no longer ours
        if (broken_) {
            watching_ = false;
            const News news = TakeNewsLocked();
            lock.unlock();
            news.Tell();
            return;
        }
        if (answerOwed_ && !late_ && Clock::now() >= answerDue_) {
            late_ = true;
            SetStatusLocked(LinkState::NotAnswering);
        }
        short events = 0;
        if (answerOwed_) events |= POLLIN;
        if (!QueueEmptyLocked() || (frameQueued_ && !answerOwed_)) events |= POLLOUT;
        if (events == 0) {
            watching_ = false;
            const News news = TakeNewsLocked();
            lock.unlock();
            news.Tell();
            return;
        }
        const int timeout = answerOwed_ && !late_ ? MillisecondsLeft(answerDue_) + 1 : -1;
        const News news = TakeNewsLocked();
        lock.unlock();
        news.Tell();

        pollfd p[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        const int n = ::poll(p, 2, timeout);
        if (n > 0 && p[1].revents != 0) {
            std::uint64_t ignored = 0;
            [[maybe_unused]] const ssize_t r = ::read(wakeFd, &ignored, sizeof ignored);
        }
        lock.lock();
        if (connection_ != connection || fd_ != fd) return;
        if (n < 0) {
            if (errno != EINTR) LostLocked();
            continue;
        }
        if (n == 0) continue;
        const short got = p[0].revents;
        if ((got & POLLIN) && answerOwed_) {
            if (!ServiceAnswerLocked()) continue;
        } else if ((got & (POLLHUP | POLLERR)) && !(got & POLLOUT)) {
            LostLocked();
            continue;
        }
        if (got != 0) FlushAndSettleLocked();
    }
}

bool UnixEndpoint::ServiceAnswerLocked() {
    const ssize_t n = ::recv(fd_, reply_ + replyGot_, REPLY_SIZE - replyGot_, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
    if (n <= 0) return LostLocked(); // the host went away
    replyGot_ += static_cast<std::size_t>(n);
    if (replyGot_ < REPLY_SIZE) return true;
    // Answered at last: whatever is queued (the newest levels among it) goes
    // now, and the host counts as answering again unless that stalls.
    replyGot_ = 0;
    answerOwed_ = false;
    late_ = false;
    if (QueueEmptyLocked() && !frameQueued_) SettledLocked();
    return true;
}

std::unique_ptr<Endpoint> CreatePlatformEndpoint() {
    return std::make_unique<UnixEndpoint>();
}

} // namespace hostlink
