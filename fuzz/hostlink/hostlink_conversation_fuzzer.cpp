// A whole conversation between the desk and a hostile host, over real
// sockets: the fuzz input is a script of the desk's calls (frames, keys,
// looks at the host) and the host's moves (accept, read some, answer, write
// stray bytes, stop reading, hang up, replace its socket file). Whatever the
// host does, the desk must never cut or corrupt a message, never reverse the
// order of its keys, never have more than one frame's answer owed on a
// connection, and never hang.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "hostlink/Protocol.h"
#include "hostlink/UnixEndpoint.h"

namespace {

constexpr char kClass[] = "THXMainForm";
std::string folderPath;
std::string socketPath;
int listener = -1;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "hostlink conversation fuzz: %s\n", what);
    std::abort();
}

void Listen() {
    if (listener >= 0) ::close(listener);
    ::unlink(socketPath.c_str());
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
    listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(socketPath.c_str(), 0600) != 0 || ::listen(listener, 8) != 0)
        Fail("cannot listen");
}

void StopHost() {
    if (listener >= 0) ::close(listener);
    ::unlink(socketPath.c_str());
    ::rmdir(folderPath.c_str());
}

// The host's end of one connection and what it has seen on it.
struct Connection {
    int Fd = -1;
    std::vector<std::uint8_t> Buffer;
    std::size_t FramesReceived = 0;
    std::size_t BytesWritten = 0; // answers and stray bytes alike
    std::uint64_t LastKey = 0;    // order holds within one connection
};

// The script, read a byte at a time; zeros once it ends.
class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class Conversation {
public:
    ~Conversation() {
        endpoint_.reset(); // its watcher ends before the host's sockets close
        for (Connection& c : connections_)
            ::close(c.Fd);
    }

    void Run(Script& script) {
        while (script.More()) {
            const std::uint8_t op = script.Next();
            const std::uint8_t arg = script.Next();
            switch (op % 10) {
            case 0:
                Frame(arg);
                break;
            case 1:
                Key();
                break;
            case 2:
                endpoint_->Refresh(kClass);
                break;
            case 3:
                Accept();
                break;
            case 4:
                Read(static_cast<std::size_t>(arg) * 64 + 1);
                break;
            case 5:
                Answer(script);
                break;
            case 6:
                Stray(script, arg % 24 + 1);
                break;
            case 7:
                HangUp();
                break;
            case 8:
                std::this_thread::sleep_for(std::chrono::microseconds(arg * 20));
                break;
            case 9:
                Listen();
                endpoint_->Refresh(kClass);
                break;
            }
        }
        // Whatever was kept for the host reaches it once it reads.
        Accept();
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Read(1 << 20);
        }
        const hostlink::LinkState state = endpoint_->Status().State;
        if (state != hostlink::LinkState::NoHost && state != hostlink::LinkState::Connected &&
            state != hostlink::LinkState::NotAnswering && state != hostlink::LinkState::Refused)
            Fail("a state out of range");
    }

private:
    void Frame(std::uint8_t level) {
        std::uint8_t levels[512];
        std::memset(levels, level, sizeof levels);
        const hostlink::HostMessage frame{hostlink::WM_COPYDATA, 0, hostlink::DMX_FRAME_TAG, levels,
                                          sizeof levels};
        if (endpoint_->Find(kClass))
            endpoint_->Send(frame, std::chrono::milliseconds(level % 3), nullptr);
        else
            endpoint_->Missed(frame);
    }

    void Key() {
        if (endpoint_->Find(kClass))
            endpoint_->Post({hostlink::WM_KEYDOWN, 0x41, ++keysPosted_, nullptr, 0});
    }

    void Accept() {
        for (;;) {
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) return;
            connections_.push_back({fd, {}, 0, 0, 0});
        }
    }

    Connection* Current() { return connections_.empty() ? nullptr : &connections_.back(); }

    void Read(std::size_t most) {
        for (Connection& c : connections_) {
            std::vector<std::uint8_t> chunk(most);
            const ssize_t n = ::recv(c.Fd, chunk.data(), chunk.size(), 0);
            if (n <= 0) continue;
            c.Buffer.insert(c.Buffer.end(), chunk.begin(), chunk.begin() + n);
            Check(c);
        }
    }

    // The desk's messages as the host sees them.
    void Check(Connection& c) {
        while (c.Buffer.size() >= hostlink::HEADER_SIZE) {
            const hostlink::MessageHeader h = hostlink::DecodeHeader(c.Buffer.data());
            if (h.Msg == hostlink::WM_COPYDATA) {
                if (h.Length != 512 || h.Flags != hostlink::FLAG_SENT ||
                    h.LParam != hostlink::DMX_FRAME_TAG)
                    Fail("a frame's header is corrupt");
            } else if (h.Msg == hostlink::WM_KEYDOWN) {
                if (h.Length != 0 || h.Flags != 0) Fail("a key's header is corrupt");
            } else {
                Fail("a message the desk never sends: the stream is cut");
            }
            const std::size_t total = hostlink::HEADER_SIZE + h.Length;
            if (c.Buffer.size() < total) return;
            if (h.Msg == hostlink::WM_COPYDATA) {
                const std::uint8_t level = c.Buffer[hostlink::HEADER_SIZE];
                for (std::size_t i = 1; i < 512; ++i)
                    if (c.Buffer[hostlink::HEADER_SIZE + i] != level)
                        Fail("a frame's levels are torn");
                ++c.FramesReceived;
                // Any 8 bytes from the host may be taken for an answer.
                if (c.FramesReceived > c.BytesWritten / hostlink::REPLY_SIZE + 1)
                    Fail("a frame was sent while another's answer was owed");
            } else {
                if (h.LParam <= c.LastKey) Fail("keys out of order");
                c.LastKey = h.LParam;
            }
            c.Buffer.erase(c.Buffer.begin(), c.Buffer.begin() + static_cast<std::ptrdiff_t>(total));
        }
    }

    void Write(Connection& c, const std::uint8_t* bytes, std::size_t size) {
        const ssize_t n = ::send(c.Fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) c.BytesWritten += static_cast<std::size_t>(n);
    }

    void Answer(Script& script) {
        Connection* c = Current();
        std::uint8_t reply[hostlink::REPLY_SIZE];
        hostlink::EncodeReply(script.Next(), reply);
        if (c != nullptr) Write(*c, reply, sizeof reply);
    }

    void Stray(Script& script, std::size_t size) {
        std::uint8_t bytes[24];
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = script.Next();
        if (Connection* c = Current()) Write(*c, bytes, size);
    }

    void HangUp() {
        if (connections_.empty()) return;
        ::close(connections_.back().Fd);
        connections_.pop_back();
    }

    std::unique_ptr<hostlink::UnixEndpoint> endpoint_ = std::make_unique<hostlink::UnixEndpoint>();
    std::vector<Connection> connections_;
    std::uint64_t keysPosted_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/vantrelle-conversation-fuzz-XXXXXX";
    if (::mkdtemp(folder) == nullptr) Fail("no temporary folder");
    ::setenv("XDG_RUNTIME_DIR", folder, 1);
    folderPath = folder;
    socketPath = hostlink::EndpointPath(kClass);
    std::atexit(StopHost);
    Listen();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512) return 0;
    Script script(data, size);
    Conversation conversation;
    conversation.Run(script);
    // Connections the desk made and the host never accepted are refused
    // with the next listener.
    Listen();
    return 0;
}
