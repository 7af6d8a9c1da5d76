#pragma once
// The endpoint layer over Unix-domain stream sockets. One connection is kept
// while the socket file it was made to stays the same, so that a restarted
// host (a new socket file) is found on the next call.
//
// Nothing is handed over unless the folder, the socket file and the process
// behind it belong to the desk's own user. Nothing ever waits for a host
// that stopped reading: what it cannot take yet is kept in a bounded queue
// (the newest frame, and the newest keys up to MAX_QUEUED_KEYS) and written,
// in order, on the same connection once the host reads again. A host that
// leaves a frame unanswered is remembered as not answering: later frames do
// not wait for it, and the newest of them goes to it as soon as it answers.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

#include "hostlink/Endpoint.h"

namespace hostlink {

// Key messages kept for a host that is not reading; beyond it the oldest go.
inline constexpr std::size_t MAX_QUEUED_KEYS = 16384;

class UnixEndpoint final : public Endpoint {
public:
    UnixEndpoint() = default;
    ~UnixEndpoint() override;
    UnixEndpoint(const UnixEndpoint&) = delete;
    UnixEndpoint& operator=(const UnixEndpoint&) = delete;

    bool Find(std::string_view className) override;
    // While the host owes an answer or is not reading, the message is kept
    // (the newest one only) and false is returned at once.
    bool Send(const HostMessage& message, std::chrono::milliseconds timeout,
              std::int64_t* result) override;
    // Never waits: what the socket cannot take now is queued.
    bool Post(const HostMessage& message) override;
    void Missed(const HostMessage& frame) override;
    void Refresh(std::string_view className) override;
    LinkStatus Status() const override;
    void SetStatusListener(LinkStatusListener listener) override;

    // Keys given up, the oldest first, because a host did not read them.
    std::uint64_t DroppedKeys() const;
    // Connections made so far.
    std::uint64_t Connections() const;

private:
    // Waits, off the caller's thread, for an owed answer and for room to
    // write what is queued.
    struct Watcher {
        std::thread Thread;
        int WakeFd = -1;   // written to make the thread look again
        int SocketFd = -1; // closed once the thread has ended
    };
    enum class ConnectResult { Connected, NoHost, Busy, Refused };
    enum class Flush { Done, Blocked, Broken };

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
    bool QueueEmptyLocked() const { return out_.size() == outDone_ && keys_.empty(); }
    void DropLocked();
    // The one way a look-up, a send or a post fails: the connection is given
    // up and the status says why. Returns false, the caller's answer.
    bool FailLocked(LinkState state, std::string_view reason = {});
    // The connection ended or broke while something was owed; returns false.
    bool LostLocked();
    void SetStatusLocked(LinkState state, std::string_view reason = {});
    // The status once nothing is late: connected, with a word on lost keys.
    void SettledLocked();
    void KeepFrameLocked(const HostMessage& frame);
    void QueueKeyLocked(const MessageHeader& header);
    // Writes what is queued, in order, as far as the socket takes it now.
    Flush FlushLocked();
    // Writes what is queued and sets the state by what became of it; false
    // when the connection broke.
    bool FlushAndSettleLocked();
    void FlushAndWatchLocked();
    void WatchLocked();
    void Watch(int fd, int wakeFd, std::uint64_t connection);
    bool ServiceAnswerLocked(); // false once the connection is lost

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
    std::uint64_t connection_ = 0; // counts connections; names the current one

    // An endpoint refused for its peer is not connected to again while the
    // file is the same: device, inode, owner, and the time of its last change
    // (a new file can get a freed inode number).
    struct Refusal {
        dev_t Dev;
        ino_t Ino;
        uid_t Owner;
        struct timespec Changed;
        std::string Reason;

        bool Is(const struct stat& st) const {
            return Dev == st.st_dev && Ino == st.st_ino && Owner == st.st_uid &&
                   Changed.tv_sec == st.st_ctim.tv_sec && Changed.tv_nsec == st.st_ctim.tv_nsec;
        }
    };
    std::optional<Refusal> refused_;

    bool answerOwed_ = false; // a sent frame's answer has not come yet
    bool late_ = false;       // ... and its wait is over
    std::chrono::steady_clock::time_point answerDue_;
    bool broken_ = false; // the watcher saw the connection end
    std::size_t replyGot_ = 0;
    std::uint8_t reply_[REPLY_SIZE] = {};

    // Bytes committed to the stream (a message is never cut), and the keys
    // and frame behind them, for a host that is not reading.
    std::vector<std::uint8_t> out_;
    std::size_t outDone_ = 0;
    std::deque<MessageHeader> keys_;
    std::uint64_t droppedKeys_ = 0;
    bool frameQueued_ = false; // lastFrame_ waits behind the keys or an owed answer
    bool stalled_ = false;     // the socket was full at the last try

    // The newest frame, and the connection it was handed to (0: none yet).
    bool haveFrame_ = false;
    MessageHeader frameHeader_;
    std::vector<std::uint8_t> frameData_;
    std::uint64_t frameConnection_ = 0;

    std::optional<Watcher> watcher_;
    bool watching_ = false; // the watcher's thread is in its loop
    std::vector<Watcher> retired_;

    LinkStatus status_;
    bool unannounced_ = false;
    LinkStatusListener listener_;
};

} // namespace hostlink
