#include <chrono>
#include <cstring>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DeskLinkTest.h"
#include "TestHost.h"
#include "hostlink/UnixEndpoint.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A bare socket bound at the host's endpoint, for hosts that misbehave.
int BindAtEndpoint() {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
    std::strcpy(addr.sun_path, path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class DmxFrameTest : public DeskLinkTest {};

TEST_F(DmxFrameTest, FrameCarriesTheLevelsChannelOneFirst) {
    TestHost host;
    table_->LevelOf(33) = 128;
    ASSERT_TRUE(Transmit());
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const auto& m = messages[0];
    EXPECT_EQ(m.Header.Msg, 0x4Au);
    EXPECT_EQ(m.Header.WParam, 0u);
    EXPECT_EQ(m.Header.LParam, 256u);
    EXPECT_EQ(m.Header.Length, 512u);
    EXPECT_TRUE(m.Header.IsSent());
    ASSERT_EQ(m.Payload.size(), 512u);
    for (std::size_t i = 0; i < 512; ++i)
        EXPECT_EQ(m.Payload[i], i == 32 ? 128 : 0) << "byte " << i;
    EXPECT_EQ(buffer_[32], 128) << "the frame last handed over stays in the buffer";
}

TEST_F(DmxFrameTest, EveryCallSendsOneFrameOverOneConnection) {
    TestHost host;
    for (int level = 0; level < 100; ++level) {
        table_->LevelOf(512) = static_cast<std::uint8_t>(level);
        ASSERT_TRUE(Transmit());
    }
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 100u);
    for (int level = 0; level < 100; ++level)
        EXPECT_EQ(messages[static_cast<std::size_t>(level)].Payload[511], level);
}

TEST_F(DmxFrameTest, NoHostSendsNothingAndLeavesTheBufferAlone) {
    table_->LevelOf(1) = 7;
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(buffer_[0], 0);
}

TEST_F(DmxFrameTest, HostStartedLaterGetsTheNextFrame) {
    EXPECT_FALSE(Transmit());
    TestHost host;
    EXPECT_TRUE(Transmit());
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(DmxFrameTest, RestartedHostIsFoundAgain) {
    {
        TestHost first;
        ASSERT_TRUE(Transmit());
    }
    EXPECT_FALSE(Transmit()) << "a host that has gone is not found";
    TestHost second;
    EXPECT_TRUE(Transmit());
    EXPECT_EQ(second.Messages().size(), 1u);
}

TEST_F(DmxFrameTest, HungHostCostsAtMostTheWaitAndIsLookedUpAfresh) {
    hostlink::HostServer::Options hung;
    hung.NoReply = true;
    auto host = std::make_unique<TestHost>(hung);
    const auto start = Clock::now();
    EXPECT_FALSE(Transmit());
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, hostlink::FRAME_WAIT - 5ms);
    EXPECT_LT(waited, hostlink::FRAME_WAIT * 4) << "bounded, with room for a loaded machine";
    EXPECT_TRUE(host->WaitForCount(1, 2s)) << "the hung host did receive the frame";

    host.reset();
    TestHost healthy;
    EXPECT_TRUE(Transmit());
}

TEST_F(DmxFrameTest, SlowHostWithinTheWaitIsAnswered) {
    hostlink::HostServer::Options slow;
    slow.ReplyDelay = 20ms;
    TestHost host(slow);
    EXPECT_TRUE(Transmit());
}

TEST_F(DmxFrameTest, HostClosingMidFrameDropsThatFrameOnly) {
    hostlink::HostServer::Options dying;
    dying.CloseInsteadOfReply = true;
    {
        TestHost host(dying);
        const auto start = Clock::now();
        EXPECT_FALSE(Transmit());
        EXPECT_LT(Clock::now() - start, hostlink::FRAME_WAIT);
    }
    TestHost healthy;
    EXPECT_TRUE(Transmit());
}

// A host that answers a frame with two answers' worth of bytes.
TEST_F(DmxFrameTest, StrayBytesAfterAnAnswerAreNotTakenForTheNextAnswer) {
    const int listener = BindAtEndpoint();
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    std::thread rogue([listener] {
        const int c = ::accept(listener, nullptr, nullptr);
        std::uint8_t frame[hostlink::HEADER_SIZE + 512];
        std::size_t got = 0;
        while (got < sizeof frame) {
            const ssize_t n = ::recv(c, frame + got, sizeof frame - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        const std::uint8_t answers[2 * hostlink::REPLY_SIZE] = {};
        [[maybe_unused]] auto sent = ::send(c, answers, sizeof answers, MSG_NOSIGNAL);
        // Read on and never answer again.
        std::uint8_t more[1024];
        while (::recv(c, more, sizeof more, 0) > 0) {
        }
        ::close(c);
    });
    EXPECT_TRUE(Transmit());
    // The second frame goes over a fresh connection that nobody accepts, so
    // it must go unanswered: the stray bytes are not its answer.
    const auto start = Clock::now();
    EXPECT_FALSE(Transmit());
    EXPECT_LT(Clock::now() - start, hostlink::FRAME_WAIT * 4);
    ::shutdown(listener, SHUT_RDWR);
    endpoint_.Find("nobody"); // closes the connection the rogue still reads
    rogue.join();
    ::close(listener);
    ::unlink(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME).c_str());
}

TEST_F(DmxFrameTest, StaleSocketFileMeansNoHost) {
    const int fd = BindAtEndpoint();
    ASSERT_GE(fd, 0);
    ::close(fd); // the file stays, nobody listens
    EXPECT_FALSE(Transmit());
    ::unlink(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME).c_str());
}

TEST_F(DmxFrameTest, PostedKeysArriveWithoutAnAnswer) {
    TestHost host;
    ASSERT_TRUE(endpoint_.Find(hostlink::HOST_CLASS_NAME));
    ASSERT_TRUE(endpoint_.Post({hostlink::WM_KEYDOWN, 0x141, 0x001E0001, nullptr, 0}));
    ASSERT_TRUE(host.WaitForCount(1, 2s));
    const auto m = host.Messages()[0];
    EXPECT_EQ(m.Header.Msg, hostlink::WM_KEYDOWN);
    EXPECT_EQ(m.Header.WParam, 0x141u);
    EXPECT_EQ(m.Header.LParam, 0x001E0001u);
    EXPECT_FALSE(m.Header.IsSent());
    EXPECT_TRUE(Transmit()) << "a frame after a posted key still gets its own answer";
}

} // namespace
