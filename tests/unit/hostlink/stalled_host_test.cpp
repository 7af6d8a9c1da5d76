// A host that stops reading keeps its one connection: the desk never waits
// for it, keeps the newest frame and the newest keys up to a limit (the
// oldest dropped and counted, the rest in order), and hands them over as
// soon as the host reads again. A host that starts or is replaced gets the
// current levels without waiting for the next change, and only then.

#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DeskLinkTest.h"
#include "TestHost.h"
#include "hostlink/Protocol.h"
#include "hostlink/UnixEndpoint.h"

using namespace std::chrono_literals;
using hostlink::LinkState;

namespace {

// A host that accepts connections and reads only when told to.
class SilentHost {
public:
    SilentHost() {
        const std::string path = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        ::fchmod(listener_, 0600);
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(listener_, 64), 0);
    }
    ~SilentHost() {
        for (int fd : connections_)
            ::close(fd);
        ::close(listener_);
    }

    // Accepts what is waiting; the number of connections so far.
    std::size_t Accept() {
        for (;;) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0) break;
            connections_.push_back(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC));
        }
        return connections_.size();
    }

    // Reads and answers on the first connection until nothing more comes
    // within `quiet`.
    std::vector<hostlink::ReceivedMessage> Drain(std::chrono::milliseconds quiet) {
        std::vector<hostlink::ReceivedMessage> out;
        const int fd = connections_.at(0);
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) break;
            std::uint8_t chunk[65536];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            buffer_.insert(buffer_.end(), chunk, chunk + n);
            while (buffer_.size() >= hostlink::HEADER_SIZE) {
                const auto header = hostlink::DecodeHeader(buffer_.data());
                const std::size_t total = hostlink::HEADER_SIZE + header.Length;
                if (buffer_.size() < total) break;
                out.push_back({header,
                               {buffer_.begin() + hostlink::HEADER_SIZE,
                                buffer_.begin() + static_cast<std::ptrdiff_t>(total)}});
                buffer_.erase(buffer_.begin(),
                              buffer_.begin() + static_cast<std::ptrdiff_t>(total));
                if (header.IsSent()) {
                    std::uint8_t reply[hostlink::REPLY_SIZE];
                    hostlink::EncodeReply(0, reply);
                    EXPECT_EQ(::send(fd, reply, sizeof reply, MSG_NOSIGNAL), 8);
                }
            }
        }
        return out;
    }

private:
    int listener_ = -1;
    std::vector<int> connections_;
    std::vector<std::uint8_t> buffer_;
};

class StalledHostTest : public DeskLinkTest {
protected:
    bool PostKey(std::uint32_t number) {
        return endpoint_.Post({hostlink::WM_KEYDOWN, 0x41, number, nullptr, 0});
    }
};

TEST_F(StalledHostTest, OneConnectionTheNewestLevelsAndTheNewestKeysInOrder) {
    RecordStates();
    SilentHost host;
    table_->LevelOf(1) = 7;
    ASSERT_FALSE(Transmit()) << "the silent host cannot answer the first frame";
    constexpr std::uint32_t kKeys = 100000;
    for (std::uint32_t i = 1; i <= kKeys; ++i) {
        ASSERT_TRUE(PostKey(i)) << "key " << i << " was refused while the host exists";
        if (i == kKeys / 2) {
            // "All Faders To 100%" in the middle of the typing.
            for (int channel = 1; channel <= 512; ++channel)
                table_->LevelOf(channel) = 255;
            EXPECT_FALSE(Transmit());
        }
    }
    EXPECT_EQ(endpoint_.Status().State, LinkState::NotAnswering);
    EXPECT_EQ(host.Accept(), 1u) << "the desk opened more than one connection";
    EXPECT_EQ(endpoint_.Connections(), 1u);

    const auto messages = host.Drain(1s);
    ASSERT_FALSE(messages.empty());
    std::vector<std::uint64_t> keys;
    std::vector<const hostlink::ReceivedMessage*> frames;
    for (const auto& m : messages) {
        if (m.Header.Msg == hostlink::WM_KEYDOWN) keys.push_back(m.Header.LParam);
        if (m.Header.Msg == hostlink::WM_COPYDATA) frames.push_back(&m);
    }
    ASSERT_EQ(frames.size(), 2u) << "the first frame, then only the newest levels";
    EXPECT_EQ(frames[0]->Payload.at(0), 7);
    EXPECT_EQ(frames[1]->Payload, std::vector<std::uint8_t>(512, 255));
    EXPECT_EQ(messages.back().Header.Msg, hostlink::WM_COPYDATA)
        << "the newest levels come after the keys kept with them";

    // In order, the oldest of the queued ones dropped: one gap at most.
    std::size_t gaps = 0;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        ASSERT_GT(keys[i], keys[i - 1]) << "keys out of order at " << i;
        gaps += keys[i] != keys[i - 1] + 1 ? 1 : 0;
    }
    EXPECT_LE(gaps, 1u);
    EXPECT_EQ(keys.back(), kKeys) << "the newest key is kept";
    EXPECT_GE(keys.size(), hostlink::MAX_QUEUED_KEYS);
    EXPECT_EQ(keys.size() + endpoint_.DroppedKeys(), kKeys) << "every dropped key is counted";
    ASSERT_TRUE(WaitForState(LinkState::Connected, 2s));
    EXPECT_NE(endpoint_.Status().Reason.find("keys were dropped"), std::string::npos);
}

TEST_F(StalledHostTest, KeysThatFitAreAllDeliveredWithoutADrop) {
    SilentHost host;
    ASSERT_TRUE(endpoint_.Find(hostlink::HOST_CLASS_NAME));
    for (std::uint32_t i = 1; i <= 3000; ++i)
        ASSERT_TRUE(PostKey(i));
    EXPECT_EQ(host.Accept(), 1u);
    const auto messages = host.Drain(500ms);
    ASSERT_EQ(messages.size(), 3000u);
    for (std::uint32_t i = 0; i < 3000; ++i)
        ASSERT_EQ(messages[i].Header.LParam, i + 1);
    EXPECT_EQ(endpoint_.DroppedKeys(), 0u);
}

TEST_F(StalledHostTest, HostStartedAfterTheLastFrameGetsItOnTheNextLook) {
    table_->LevelOf(3) = 99;
    EXPECT_FALSE(Transmit()) << "no host yet";
    RecordStates();
    TestHost host;
    endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    ASSERT_TRUE(host.WaitForCount(1, 2s)) << "the host that came later has no levels";
    EXPECT_EQ(host.Messages()[0].Payload.at(2), 99);
    EXPECT_TRUE(WaitForState(LinkState::Connected, 2s));
    for (int i = 0; i < 4; ++i)
        endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(host.Messages().size(), 1u) << "a host that has the newest frame gets nothing more";
}

TEST_F(StalledHostTest, HostThatHadEveryFrameGetsNothingExtra) {
    TestHost host;
    EXPECT_TRUE(Transmit());
    for (int i = 0; i < 4; ++i)
        endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(StalledHostTest, HungHostReplacedAtTheSamePathIsConnectedAndBroughtUpToDate) {
    RecordStates();
    hostlink::HostServer::Options hung;
    hung.NoReply = true;
    auto first = std::make_unique<TestHost>(hung);
    table_->LevelOf(1) = 42;
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(endpoint_.Status().State, LinkState::NotAnswering);
    // The hung host's file is taken over while it still holds the connection.
    ASSERT_EQ(::unlink(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME).c_str()), 0);
    TestHost healthy;
    endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    EXPECT_TRUE(WaitForState(LinkState::Connected, 1s)) << "the indicator stays wrong";
    ASSERT_TRUE(healthy.WaitForCount(1, 1s));
    EXPECT_EQ(healthy.Messages()[0].Payload.at(0), 42);
}

TEST_F(StalledHostTest, HostThatEndsWhileIdleIsNoHostOnTheNextLook) {
    RecordStates();
    auto host = std::make_unique<TestHost>();
    EXPECT_TRUE(Transmit());
    host.reset();
    endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
    EXPECT_EQ(endpoint_.Status().State, LinkState::NoHost);
}

TEST_F(StalledHostTest, HostWithAFullBacklogIsNotAnsweringRatherThanAbsent) {
    // Not listening yet accepting nothing: connect fails with EAGAIN once
    // the backlog is full.
    const std::string path = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers.push_back(fd);
    }
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(endpoint_.Status().State, LinkState::NotAnswering);
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

} // namespace
