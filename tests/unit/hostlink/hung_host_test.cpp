// A host that stops answering costs one wait, not one per frame, and gets
// the newest levels as soon as it answers again.

#include <pwd.h>

#include <gtest/gtest.h>

#include "DeskLinkTest.h"
#include "TestHost.h"
#include "hostlink/UnixEndpoint.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using hostlink::LinkState;

namespace {

class HungHostTest : public DeskLinkTest {
protected:
    HungHostTest() { RecordStates(); }
};

TEST_F(HungHostTest, OnlyTheFirstFrameWaitsAndLaterOnesAreNotWritten) {
    hostlink::HostServer::Options hung;
    hung.NoReply = true;
    TestHost host(hung);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(endpoint_.Status().State, LinkState::NotAnswering);

    // "All Faders To 100%": 33 frames. Waiting for each would take 33 waits.
    const auto start = Clock::now();
    for (int i = 0; i < 33; ++i) {
        table_->LevelOf(1 + i) = 255;
        EXPECT_FALSE(Transmit());
    }
    EXPECT_LT(Clock::now() - start, 300ms) << "frames to a host known hung must not wait";
    ASSERT_TRUE(host.WaitForCount(1, 2s));
    EXPECT_EQ(host.Messages().size(), 1u) << "nothing piles up in a hung host's socket";
    EXPECT_EQ(endpoint_.Status().State, LinkState::NotAnswering);
}

TEST_F(HungHostTest, RecoveredHostGetsTheNewestLevelsThenFramesAreSynchronousAgain) {
    TestHost host({}, TestHost::Answers::Held);
    table_->LevelOf(1) = 1;
    EXPECT_FALSE(Transmit()) << "the gate is shut: the first frame goes unanswered";
    EXPECT_TRUE(WaitForState(LinkState::NotAnswering, 2s));
    for (int level = 2; level <= 40; ++level) {
        table_->LevelOf(1) = static_cast<std::uint8_t>(level);
        EXPECT_FALSE(Transmit());
    }
    ASSERT_EQ(host.Messages().size(), 1u);

    host.Open();
    ASSERT_TRUE(host.WaitForCount(2, 5s)) << "the newest levels follow the late answer";
    ASSERT_TRUE(WaitForState(LinkState::Connected, 5s));
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 2u) << "only the newest of the kept frames is handed over";
    EXPECT_EQ(messages[1].Payload.at(0), 40);

    table_->LevelOf(1) = 41;
    EXPECT_TRUE(Transmit()) << "a host that answers again is served synchronously";
    ASSERT_EQ(host.Messages().size(), 3u) << "the frame was taken before Transmit returned";
    EXPECT_EQ(host.Messages()[2].Payload.at(0), 41);
    const std::vector<LinkState> expected = {LinkState::Connected, LinkState::NotAnswering,
                                             LinkState::Connected};
    EXPECT_EQ(States(), expected);
}

TEST_F(HungHostTest, HungHostThatEndsIsNoHostAndANewOneIsFound) {
    hostlink::HostServer::Options hung;
    hung.NoReply = true;
    auto host = std::make_unique<TestHost>(hung);
    EXPECT_FALSE(Transmit());
    host.reset();
    EXPECT_TRUE(WaitForState(LinkState::NoHost, 5s));
    TestHost healthy;
    EXPECT_TRUE(Transmit());
    EXPECT_EQ(endpoint_.Status().State, LinkState::Connected);
}

TEST_F(HungHostTest, KeysPostedToAHungHostNeverWait) {
    hostlink::HostServer::Options hung;
    hung.NoReply = true;
    TestHost host(hung);
    EXPECT_FALSE(Transmit());
    ASSERT_TRUE(endpoint_.Find(hostlink::HOST_CLASS_NAME)) << "a hung host is still there";
    EXPECT_TRUE(endpoint_.Post({hostlink::WM_KEYDOWN, 0x41, 0x001E0001, nullptr, 0}));
    ASSERT_TRUE(host.WaitForCount(2, 2s)) << "keys still reach its queue";
    EXPECT_EQ(host.Messages()[1].Header.Msg, hostlink::WM_KEYDOWN);
}

// Why a reference host refused to listen at the endpoint; empty when it listened.
std::string WhyAHostRefuses() {
    try {
        hostlink::HostServer host(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME), {}, {});
        return {};
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

// The reference host's manners.
TEST(HostServerManners, RefusesToTakeOverALiveSocket) {
    PrivateRuntimeDir runtime;
    TestHost first;
    const std::string why = WhyAHostRefuses();
    EXPECT_NE(why.find("another host is listening"), std::string::npos)
        << "refused with \"" << why << "\" (nothing: it took over the live socket)";
    hostlink::UnixEndpoint endpoint;
    EXPECT_TRUE(endpoint.Find(hostlink::HOST_CLASS_NAME)) << "the first host keeps its socket";
}

TEST(HostServerManners, ReplacesAStaleSocketAndRemovesOnlyItsOwn) {
    PrivateRuntimeDir runtime;
    const std::string path = hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
    auto first = std::make_unique<hostlink::HostServer>(path, hostlink::HostServer::Options{},
                                                        hostlink::HostServer::Handler{});
    // Someone removed the first host's file and a second host bound afresh.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    hostlink::HostServer second(path, {}, {});
    struct stat before {};
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);
    first.reset();
    struct stat after {};
    ASSERT_EQ(::lstat(path.c_str(), &after), 0) << "the first host removed the second's socket";
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(HostServerManners, MakesAPrivateSocketWhateverTheUmask) {
    PrivateRuntimeDir runtime;
    const mode_t old = ::umask(0);
    {
        TestHost host;
        struct stat st {};
        ASSERT_EQ(::lstat(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    ::umask(old);
    const std::string nested = runtime.Path() + "/fresh";
    { hostlink::HostServer made(nested + "/host", {}, {}); }
    struct stat st {};
    ASSERT_EQ(::lstat(nested.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a missing folder is made private";
}

TEST(HostServerManners, RefusesAFolderOthersCanWrite) {
    PrivateRuntimeDir runtime;
    ASSERT_EQ(::chmod(runtime.Path().c_str(), 0777), 0);
    EXPECT_THROW(hostlink::HostServer(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME), {}, {}),
                 std::runtime_error);
    ASSERT_EQ(::chmod(runtime.Path().c_str(), 0700), 0);
    EXPECT_NO_THROW(
        hostlink::HostServer(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME), {}, {}));
}

TEST(HostServerManners, RefusesAFolderOfAnotherUser) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::getuid() != 0 || nobody == nullptr)
        GTEST_SKIP() << "not root (or no user 'nobody'): cannot make a folder of another user";
    PrivateRuntimeDir runtime;
    ASSERT_EQ(::chown(runtime.Path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    const std::string why = WhyAHostRefuses();
    EXPECT_NE(why.find("belongs to user nobody"), std::string::npos)
        << "refused with \"" << why << "\" (nothing: it listened in a folder of user nobody)";
}

} // namespace
