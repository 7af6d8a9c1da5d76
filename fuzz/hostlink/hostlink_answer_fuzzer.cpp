// The desk's handling of the host's answer to a sent message, over a real
// socket: the fuzz input is everything the host writes back before it closes
// its side. A whole answer (its first 8 bytes) must give exactly the value
// the host wrote; fewer bytes must fail the send without hanging or reading
// past what arrived. Bytes after the answer must not break the next exchange.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "hostlink/Endpoint.h"
#include "hostlink/Protocol.h"

namespace {

constexpr char kClass[] = "THXMainForm";
constexpr std::size_t kMaxAnswer = 4096; // well inside a socket's buffer
int listener = -1;
std::string folderPath;
std::string socketPath;

void StopHost() {
    if (listener >= 0) ::close(listener);
    ::unlink(socketPath.c_str());
    ::rmdir(folderPath.c_str());
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "hostlink fuzz: %s\n", what);
    std::abort();
}

// A private runtime folder with a listening host endpoint in it.
void StartHost() {
    char folder[] = "/tmp/vantrelle-answer-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) Fail("no temporary folder");
    setenv("XDG_RUNTIME_DIR", folder, 1);
    folderPath = folder;
    const std::string path = hostlink::EndpointPath(kClass);
    socketPath = path;
    std::atexit(StopHost);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) Fail("endpoint path too long");
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(listener, 8) != 0)
        Fail("cannot listen");
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t LittleEndian64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<std::int64_t>(v);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxAnswer) return 0;
    auto endpoint = hostlink::CreatePlatformEndpoint();
    if (!endpoint->Find(kClass)) Fail("host not found");
    const int host = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (host < 0) Fail("accept failed");
    // The whole answer is there, then the end of the host's stream, so that
    // nothing waits for a timeout.
    if (!WriteAll(host, data, size) || ::shutdown(host, SHUT_WR) != 0) Fail("host write failed");

    const std::uint8_t payload[4] = {1, 2, 3, 4};
    hostlink::HostMessage message{hostlink::WM_COPYDATA, 0, hostlink::DMX_FRAME_TAG, payload,
                                  sizeof payload};
    std::int64_t result = -12345;
    const bool sent = endpoint->Send(message, std::chrono::seconds(5), &result);
    if (size >= hostlink::REPLY_SIZE) {
        if (!sent) Fail("a whole answer was not taken");
        if (result != LittleEndian64(data)) Fail("the answer's value differs");
    } else {
        if (sent) Fail("a short answer was taken as whole");
        if (result != -12345) Fail("a short answer gave a value");
    }
    ::close(host);

    // The next exchange goes to a fresh connection and is answered normally,
    // whatever was left over from this one.
    if (!endpoint->Find(kClass)) Fail("host not found again");
    const int again = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (again < 0) Fail("second accept failed");
    std::uint8_t reply[hostlink::REPLY_SIZE];
    hostlink::EncodeReply(7, reply);
    if (!WriteAll(again, reply, sizeof reply)) Fail("second answer failed");
    result = 0;
    if (!endpoint->Send(message, std::chrono::seconds(5), &result) || result != 7)
        Fail("the exchange after a fuzzed answer failed");
    ::close(again);
    return 0;
}
