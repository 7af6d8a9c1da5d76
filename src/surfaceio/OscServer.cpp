#include "surfaceio/OscServer.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <lo/lo.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "surfaces/SurfaceSettings.h"

namespace {

bool MakeAddress(const std::string& address, int port, sockaddr_in& out) {
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(static_cast<std::uint16_t>(port));
    return inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

bool SameClient(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

std::uint32_t ReadBig32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// A bundle: "#bundle\0", an 8-byte time tag, then elements each led by its
// size. Its messages act at once, in order.
constexpr char kBundle[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', '\0'};
constexpr int kMaxBundleDepth = 4;

} // namespace

TOscServer::~TOscServer() {
    Stop();
}

int TOscServer::Decode(const std::uint8_t* data, std::size_t size, TInputMailbox& mailbox,
                       long long& dropped, std::vector<std::string>* accepted, int depth) {
    if (size >= 16 && std::memcmp(data, kBundle, 8) == 0) {
        if (depth >= kMaxBundleDepth) {
            ++dropped;
            return 0;
        }
        int count = 0;
        std::size_t at = 16;
        while (at < size) {
            if (size - at < 4) {
                ++dropped;
                break;
            }
            const std::uint32_t length = ReadBig32(data + at);
            at += 4;
            if (length == 0 || length % 4 != 0 || length > size - at) {
                ++dropped;
                break;
            }
            count += Decode(data + at, length, mailbox, dropped, accepted, depth + 1);
            at += length;
        }
        return count;
    }
    if (size < 8 || size % 4 != 0 || data[0] != '/') {
        ++dropped;
        return 0;
    }
    // The path must end inside the datagram before liblo reads it.
    const void* end = std::memchr(data, '\0', size);
    if (end == nullptr) {
        ++dropped;
        return 0;
    }
    const std::string path(reinterpret_cast<const char*>(data),
                           static_cast<const std::uint8_t*>(end) - data);
    int result = 0;
    // liblo takes a non-const pointer but only reads.
    lo_message message = lo_message_deserialise(const_cast<std::uint8_t*>(data), size, &result);
    if (message == nullptr) {
        ++dropped;
        return 0;
    }
    const int argc = lo_message_get_argc(message);
    const char* types = lo_message_get_types(message);
    lo_arg** argv = lo_message_get_argv(message);
    TOscArg args[2];
    const std::size_t count = argc == 1 ? 1 : 2; // only one argument is ever right
    if (argc == 1 && types != nullptr && argv != nullptr) {
        args[0].Type = types[0];
        if (types[0] == 'i') args[0].Int = argv[0]->i;
        if (types[0] == 'f') args[0].Float = argv[0]->f;
    }
    lo_message_free(message);
    const auto input = ParseOscCommand(path, args, count);
    if (!input) {
        ++dropped;
        return 0;
    }
    mailbox.Post(*input);
    if (accepted != nullptr) accepted->push_back(path);
    return 1;
}

std::string TOscServer::Start(const std::string& address, int port, const std::string& feedback) {
    Stop();
    sockaddr_in local{};
    if (!MakeAddress(address, port, local)) return "\"" + address + "\" is not an IPv4 address";
    if (!feedback.empty()) {
        std::string host;
        int feedbackPort = 0;
        if (!ParseHostPort(feedback, host, feedbackPort) ||
            !MakeAddress(host, feedbackPort, feedback_))
            return "the feedback address \"" + feedback + "\" is not ADDRESS:PORT";
        hasFeedback_ = true;
    }
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) return std::string("no UDP socket: ") + std::strerror(errno);
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const std::string error = std::strerror(errno);
        ::close(socket_);
        socket_ = -1;
        return "cannot listen on " + address + ":" + std::to_string(port) + ": " + error;
    }
    port_ = port;
    running_ = true;
    thread_ = std::thread([this] { Receive(); });
    return {};
}

void TOscServer::Stop() {
    if (running_.exchange(false) && thread_.joinable()) thread_.join();
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    hasFeedback_ = false;
    std::lock_guard lock(clientsMutex_);
    clients_.clear();
    movers_.clear();
}

void TOscServer::Remember(const sockaddr_in& client, const std::vector<std::string>& paths) {
    std::lock_guard lock(clientsMutex_);
    const auto now = std::chrono::steady_clock::now();
    for (const std::string& path : paths)
        movers_[path] = {client, now};
    for (const auto& c : clients_)
        if (SameClient(c, client)) return;
    // The oldest client is forgotten first.
    if (clients_.size() >= MAX_OSC_CLIENTS) clients_.erase(clients_.begin());
    clients_.push_back(client);
}

void TOscServer::Receive() {
    std::vector<std::uint8_t> buffer(MAX_OSC_DATAGRAM + 1);
    while (running_) {
        pollfd fd{socket_, POLLIN, 0};
        if (::poll(&fd, 1, 100) <= 0) continue;
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got = ::recvfrom(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got < 0) continue;
        long long dropped = 0;
        int accepted = 0;
        std::vector<std::string> paths;
        if (static_cast<std::size_t>(got) > MAX_OSC_DATAGRAM) {
            dropped = 1; // larger than anything the desk understands
        } else {
            accepted =
                Decode(buffer.data(), static_cast<std::size_t>(got), mailbox_, dropped, &paths);
        }
        dropped_ += dropped;
        accepted_ += accepted;
        if (accepted > 0 && fromSize == sizeof from) Remember(from, paths);
    }
}

void TOscServer::Send(const TOscFeedback& feedback) {
    if (socket_ < 0 || feedback.Path.empty()) return;
    lo_message message = lo_message_new();
    if (feedback.Arg.Type == 'f')
        lo_message_add_float(message, feedback.Arg.Float);
    else
        lo_message_add_int32(message, feedback.Arg.Int);
    std::size_t size = lo_message_length(message, feedback.Path.c_str());
    std::vector<std::uint8_t> bytes(size);
    lo_message_serialise(message, feedback.Path.c_str(), bytes.data(), &size);
    lo_message_free(message);
    std::vector<sockaddr_in> to;
    {
        std::lock_guard lock(clientsMutex_);
        to = clients_;
        // The client moving this address is not told its own move back.
        const auto mover = movers_.find(feedback.Path);
        if (mover != movers_.end() && std::chrono::steady_clock::now() - mover->second.At <
                                          std::chrono::milliseconds(ECHO_HOLD_MS))
            std::erase_if(
                to, [&](const sockaddr_in& c) { return SameClient(c, mover->second.Client); });
    }
    if (hasFeedback_) {
        bool known = false;
        for (const auto& c : to)
            known = known || SameClient(c, feedback_);
        if (!known) to.push_back(feedback_);
    }
    for (const auto& client : to)
        ::sendto(socket_, bytes.data(), size, MSG_DONTWAIT,
                 reinterpret_cast<const sockaddr*>(&client), sizeof client);
}
