#pragma once
// The host's side of the Unix protocol: listens on the endpoint, takes any
// number of connections each carrying any number of messages, hands each
// message to a handler and answers sent ones. Used by the reference host and
// by the tests; it treats what it reads as hostile.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "hostlink/Protocol.h"

namespace hostlink {

struct ReceivedMessage {
    MessageHeader Header;
    std::vector<std::uint8_t> Payload;
};

class HostServer {
public:
    struct Options {
        std::chrono::milliseconds ReplyDelay{0}; // a slow host
        bool NoReply = false;                    // a hung host: never answers
        bool CloseInsteadOfReply = false;        // a host that dies mid-frame
        bool PrivateFolder = false;              // the folder must be 0700 (the /tmp fallback)
    };
    using Handler = std::function<void(const ReceivedMessage&)>;

    // Binds and listens at `path` with mode 0600, making its folder 0700 when
    // missing. Refuses (throws std::runtime_error with the reason) a folder
    // of another user or one others can write, and a socket that answers a
    // connect (another host is listening); replaces only a stale one. On
    // destruction removes the socket file only while it is still its own.
    HostServer(std::string path, Options options, Handler handler);
    ~HostServer();
    HostServer(const HostServer&) = delete;
    HostServer& operator=(const HostServer&) = delete;

    // Serves until Stop() is called (from any thread) or `ShouldStop` is true.
    void Run();
    void Stop();

    const std::string& Path() const { return path_; }

private:
    struct Connection {
        int Fd = -1;
        std::vector<std::uint8_t> Buffer;
    };
    void Accept();
    bool ReadFrom(Connection& c); // false when the connection is to be closed
    bool HandleBuffered(Connection& c);

    std::string path_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    Options options_;
    Handler handler_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> stop_{false};
    std::vector<Connection> connections_;
};

} // namespace hostlink
