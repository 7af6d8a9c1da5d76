#pragma once
// The endpoint layer over Unix-domain stream sockets. One connection is kept
// while the socket file it was made to stays the same, so that a restarted
// host (a new socket file) is found on the next call.
//
// Nothing is handed over unless the folder, the socket file and the process
// behind it belong to the desk's own user. A host that leaves a frame
// unanswered is remembered as not answering: later frames do not wait for
// it, and the newest of them goes to it as soon as it answers the old one.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
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
    // While the host is not answering, the message is kept (the newest one
    // only) and false is returned at once.
    bool Send(const HostMessage& message, std::chrono::milliseconds timeout,
              std::int64_t* result) override;
    bool Post(const HostMessage& message) override;
    LinkStatus Status() const override;
    void SetStatusListener(LinkStatusListener listener) override;

private:
    // Waits, off the caller's thread, for a host that is not answering.
    struct Watcher {
        std::thread Thread;
        int WakeFd = -1;   // written to ask the thread to end
        int SocketFd = -1; // closed once the thread has ended
    };
    enum class ConnectResult { Connected, NoHost, Refused };

    using Lock = std::unique_lock<std::mutex>;
    // Unlocks, then joins ended watchers and tells the listener of news.
    void Finish(Lock& lock);
    // A status the listener has not heard yet, told once the lock is let go.
    struct News {
        LinkStatusListener Listener;
        LinkStatus Status;
        void Tell() const {
            if (Listener) Listener(Status);
        }
    };
    News TakeNewsLocked();

    bool FindLocked(std::string_view className);
    ConnectResult ConnectLocked(const struct stat& folder, const struct stat& socket,
                                std::string& reason);
    bool SendLocked(const HostMessage& message, std::chrono::milliseconds timeout,
                    std::int64_t* result);
    bool PostLocked(const HostMessage& message);
    bool ConnectionStillUsableLocked() const;
    void DropLocked();
    // The one way a look-up, a send or a post fails: the connection is given
    // up and the status says why. Returns false, the caller's answer.
    bool FailLocked(LinkState state, std::string_view reason = {});
    // The connection to a hung host ended or broke; returns false.
    bool LostWhileHungLocked();
    void SetStatusLocked(LinkState state, std::string_view reason = {});
    void StartWatchingLocked();
    void Watch(int fd, int wakeFd);
    bool ServiceHungLocked(); // false once there is nothing more to wait for

    mutable std::mutex mutex_;
    std::string className_;
    bool located_ = false;
    bool fallbackFolder_ = false;
    std::string folder_;
    std::string name_;
    std::string path_;
    int fd_ = -1;
    dev_t dev_ = 0;
    ino_t ino_ = 0;

    bool hung_ = false;   // a sent message's answer is owed
    bool broken_ = false; // the watcher saw the connection end
    std::size_t replyGot_ = 0;
    std::uint8_t reply_[REPLY_SIZE] = {};
    bool hasPending_ = false; // the newest message kept while hung
    MessageHeader pendingHeader_;
    std::vector<std::uint8_t> pendingData_;

    std::optional<Watcher> watcher_;
    std::vector<Watcher> retired_;

    LinkStatus status_;
    bool unannounced_ = false;
    LinkStatusListener listener_;
};

} // namespace hostlink
