// The bridge's Unix side as a host on the desk's socket: the folder and socket
// rules every host keeps, and answers to the desk given only once the window
// side has handled a frame.

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "bridge_core.h"
#include "bridge_host.h"

namespace {

class BridgeHost : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantrelle-bridge-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        top_ = pattern;
        folder_ = top_ + "/runtime";
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        path_ = folder_ + "/THXMainForm";
    }
    void TearDown() override {
        ::unlink(path_.c_str());
        ::rmdir(folder_.c_str());
        ::rmdir(top_.c_str());
    }

    sockaddr_un Address() const {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path_.c_str(), sizeof addr.sun_path - 1);
        return addr;
    }
    // A socket bound at the path: listening (a live host) or not (a dead one's file).
    int Bound(bool listening) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un addr = Address();
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
        if (listening) EXPECT_EQ(::listen(fd, 4), 0);
        return fd;
    }
    ino_t Inode() const {
        struct stat st {};
        return ::lstat(path_.c_str(), &st) == 0 ? st.st_ino : 0;
    }

    std::string top_, folder_, path_;
};

} // namespace

TEST_F(BridgeHost, MakesAPrivateFolderAndASocketOnlyItsUserCanUse) {
    bridge_host host;
    ASSERT_EQ(bridge_host_listen(&host), 0);
    struct stat st {};
    ASSERT_EQ(::lstat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::lstat(path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    bridge_host_close(&host);
    EXPECT_EQ(Inode(), 0u) << "its own socket is removed on exit";
}

TEST_F(BridgeHost, LeavesALiveHostAloneAndReplacesADeadOnesSocket) {
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    const int live = Bound(true);
    const ino_t before = Inode();
    bridge_host host;
    EXPECT_EQ(bridge_host_listen(&host), -1);
    EXPECT_EQ(Inode(), before) << "a live host's socket was touched";
    ::close(live);

    // Its host gone, the file refuses connections: stale.
    bridge_host stale;
    ASSERT_EQ(bridge_host_listen(&stale), 0);
    EXPECT_NE(Inode(), 0u);
    bridge_host_close(&stale);
}

TEST_F(BridgeHost, RefusesAFileThatIsNotASocketAndAFolderOthersCanWrite) {
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    const int file = ::open(path_.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(file, 0);
    ::close(file);
    bridge_host host;
    EXPECT_EQ(bridge_host_listen(&host), -1);
    struct stat st {};
    ASSERT_EQ(::lstat(path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the file was removed";
    ::unlink(path_.c_str());

    ASSERT_EQ(::chmod(folder_.c_str(), 0770), 0);
    EXPECT_EQ(bridge_host_listen(&host), -1);
    EXPECT_EQ(Inode(), 0u);
    ASSERT_EQ(::chmod(folder_.c_str(), 0700), 0);
}

TEST_F(BridgeHost, OnExitLeavesASocketThatIsNoLongerItsOwn) {
    bridge_host host;
    ASSERT_EQ(bridge_host_listen(&host), 0);
    ::unlink(path_.c_str());
    const int other = Bound(true); // another host took the name meanwhile
    const ino_t theirs = Inode();
    bridge_host_close(&host);
    EXPECT_EQ(Inode(), theirs);
    ::close(other);
}

namespace {

// A window side the test drives by hand: frames are only reported handled
// when the test says so.
struct FakeWindow {
    std::mutex lock;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<std::uint64_t> generations;
    std::vector<std::array<std::uint64_t, 3>> keys;
    int done[2] = {-1, -1};
    std::uint64_t next = 0;

    static std::uint64_t Offer(void* ctx, const std::uint8_t* levels) {
        auto* self = static_cast<FakeWindow*>(ctx);
        std::lock_guard<std::mutex> hold(self->lock);
        self->frames.emplace_back(levels, levels + 512);
        self->generations.push_back(++self->next);
        return self->next;
    }
    static std::uint64_t Post(void* ctx, std::uint32_t msg, std::uint32_t wParam,
                              std::uint64_t lParam) {
        auto* self = static_cast<FakeWindow*>(ctx);
        std::lock_guard<std::mutex> hold(self->lock);
        self->keys.push_back({msg, wParam, lParam});
        return 0x10050;
    }
    void Report(std::uint64_t generation, int outcome, std::int64_t result) {
        bridge_done d{};
        d.generation = generation;
        d.outcome = outcome;
        d.result = result;
        bridge_done_send(done[1], &d);
    }
    std::size_t Frames() {
        std::lock_guard<std::mutex> hold(lock);
        return frames.size();
    }
};

std::vector<std::uint8_t> Header(std::uint32_t msg, std::uint32_t wParam, std::uint64_t lParam,
                                 std::uint32_t length, std::uint32_t flags) {
    std::vector<std::uint8_t> out(24);
    const std::uint32_t words[6] = {msg,
                                    wParam,
                                    static_cast<std::uint32_t>(lParam),
                                    static_cast<std::uint32_t>(lParam >> 32),
                                    length,
                                    flags};
    std::memcpy(out.data(), words, sizeof words); // little-endian machine
    return out;
}

// Bytes the desk's end can read within `ms`.
std::vector<std::uint8_t> Answer(int fd, int ms) {
    std::vector<std::uint8_t> got;
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, ms) == 1) {
        std::uint8_t buf[64];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        got.insert(got.end(), buf, buf + n);
        ms = 50;
    }
    return got;
}

} // namespace

TEST_F(BridgeHost, AnswersAFrameOnlyOnceTheWindowHasHandledIt) {
    bridge_host host;
    ASSERT_EQ(bridge_host_listen(&host), 0);
    FakeWindow window;
    ASSERT_EQ(bridge_done_channel(window.done), 0);
    const bridge_window_side side{&window, FakeWindow::Offer, nullptr, FakeWindow::Post,
                                  window.done[0]};
    std::thread serving([&] { bridge_host_serve(&host, &side, 0); });

    const int desk = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un addr = Address();
    ASSERT_EQ(::connect(desk, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    const auto send = [&](std::vector<std::uint8_t> bytes) {
        ASSERT_EQ(::send(desk, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    };
    std::vector<std::uint8_t> frame = Header(0x4A, 0, 256, 512, 1);
    frame.resize(24 + 512, 9);
    send(frame);
    for (int i = 0; i < 200 && window.Frames() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(window.Frames(), 1u);
    EXPECT_EQ(window.frames[0], std::vector<std::uint8_t>(512, 9));
    EXPECT_TRUE(Answer(desk, 100).empty()) << "answered before the window handled it";

    window.Report(1, BRIDGE_NOT_ANSWERING, 0);
    EXPECT_TRUE(Answer(desk, 100).empty()) << "a window not answering must not be answered for";
    window.Report(1, BRIDGE_HANDLED, 1);
    EXPECT_EQ(Answer(desk, 1000), (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}));

    // A posted key goes on unchanged; an unknown sent message is answered at once.
    send(Header(0x101, 0x141, 0xC01E0001, 0, 0));
    std::vector<std::uint8_t> unknown = Header(0x1234, 0, 0, 3, 1);
    unknown.insert(unknown.end(), {1, 2, 3});
    send(unknown);
    EXPECT_EQ(Answer(desk, 1000), std::vector<std::uint8_t>(8, 0));
    {
        std::lock_guard<std::mutex> hold(window.lock);
        ASSERT_EQ(window.keys.size(), 1u);
        EXPECT_EQ(window.keys[0], (std::array<std::uint64_t, 3>{0x101, 0x141, 0xC01E0001}));
    }

    // A length beyond the limit: not the desk; the connection is closed.
    send(Header(0x4A, 0, 256, BRIDGE_MAX_PAYLOAD + 1, 1));
    char byte;
    pollfd p{desk, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_EQ(::recv(desk, &byte, 1, 0), 0);
    ::close(desk);

    ::kill(::getpid(), SIGTERM); // the bridge's own handler ends its loop
    serving.join();
    bridge_host_close(&host);
    EXPECT_EQ(Inode(), 0u);
}

namespace {

// A window side that takes frames at once, until told it is not answering.
struct QuickWindow : FakeWindow {
    std::atomic<bool> answering{true};
    std::atomic<int> direct{0};
    static int SendNow(void* ctx, const std::uint8_t*, bridge_done* done) {
        auto* self = static_cast<QuickWindow*>(ctx);
        if (!self->answering) return 0;
        *done = bridge_done{};
        done->outcome = BRIDGE_HANDLED;
        done->result = 7;
        ++self->direct;
        return 1;
    }
};

} // namespace

TEST_F(BridgeHost, AFrameTakenAtOnceIsAnsweredAtOnceAndOneNotTakenWaitsForTheWindow) {
    bridge_host host;
    ASSERT_EQ(bridge_host_listen(&host), 0);
    QuickWindow window;
    ASSERT_EQ(bridge_done_channel(window.done), 0);
    const bridge_window_side side{&window, FakeWindow::Offer, QuickWindow::SendNow,
                                  FakeWindow::Post, window.done[0]};
    std::thread serving([&] { bridge_host_serve(&host, &side, 0); });

    const int desk = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un addr = Address();
    ASSERT_EQ(::connect(desk, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    std::vector<std::uint8_t> frame = Header(0x4A, 0, 256, 512, 1);
    frame.resize(24 + 512, 4);
    ASSERT_EQ(::send(desk, frame.data(), frame.size(), 0), static_cast<ssize_t>(frame.size()));
    EXPECT_EQ(Answer(desk, 1000), (std::vector<std::uint8_t>{7, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(window.direct, 1);
    EXPECT_EQ(window.Frames(), 0u) << "a frame taken at once is not kept as well";

    window.answering = false;
    ASSERT_EQ(::send(desk, frame.data(), frame.size(), 0), static_cast<ssize_t>(frame.size()));
    EXPECT_TRUE(Answer(desk, 200).empty());
    ASSERT_EQ(window.Frames(), 1u) << "not taken at once: kept for the window";
    window.Report(1, BRIDGE_HANDLED, 0);
    EXPECT_EQ(Answer(desk, 1000), std::vector<std::uint8_t>(8, 0));
    ::close(desk);

    ::kill(::getpid(), SIGTERM);
    serving.join();
    bridge_host_close(&host);
}
