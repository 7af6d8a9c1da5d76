// The desk hands nothing to an endpoint another user could own or reach.
// Foreign owners are real: the tests make files of the user "nobody", which
// needs root (as in CI); without root they are skipped.

#include <algorithm>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DeskLinkTest.h"
#include "TestHost.h"
#include "hostlink/EndpointTrust.h"
#include "hostlink/UnixEndpoint.h"

using namespace std::chrono_literals;
using hostlink::LinkState;

namespace {

#define REQUIRE_ROOT_AND_NOBODY()                                                                  \
    do {                                                                                           \
        if (::getuid() != 0)                                                                       \
            GTEST_SKIP() << "not root: cannot make files of another user to test the refusal";     \
        if (Nobody() == nullptr) GTEST_SKIP() << "no user 'nobody' on this machine";               \
    } while (false)

const passwd* Nobody() {
    return ::getpwnam("nobody");
}

std::string Endpoint() {
    return hostlink::EndpointPath(hostlink::HOST_CLASS_NAME);
}

// A listening socket bound at `path`; -1 on failure.
int Listen(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether anything at all is waiting to be accepted or read on `listener`.
bool AnyoneConnected(int listener) {
    ::fcntl(listener, F_SETFL, O_NONBLOCK);
    const int c = ::accept(listener, nullptr, nullptr);
    if (c < 0) return false;
    ::close(c);
    return true;
}

class EndpointTrustTest : public DeskLinkTest {
protected:
    hostlink::LinkStatus Status() const { return endpoint_.Status(); }
};

TEST_F(EndpointTrustTest, TrustedHostIsConnected) {
    TestHost host;
    EXPECT_TRUE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Connected);
    EXPECT_EQ(Status().Path, Endpoint());
}

TEST_F(EndpointTrustTest, FolderOfAnotherUserIsRefused) {
    REQUIRE_ROOT_AND_NOBODY();
    const int listener = Listen(Endpoint());
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::chown(runtime_.Path().c_str(), Nobody()->pw_uid, Nobody()->pw_gid), 0);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "the folder belongs to user nobody");
    EXPECT_EQ(Status().Path, Endpoint());
    EXPECT_FALSE(AnyoneConnected(listener)) << "nothing may even connect";

    ASSERT_EQ(::chown(runtime_.Path().c_str(), 0, 0), 0);
    EXPECT_TRUE(Endpoint().size() > 0 && endpoint_.Find(hostlink::HOST_CLASS_NAME))
        << "the same endpoint in the user's own folder is trusted";
    EXPECT_EQ(Status().State, LinkState::Connected);
    ::close(listener);
}

TEST_F(EndpointTrustTest, GroupWritableFolderIsRefused) {
    TestHost host;
    ASSERT_EQ(::chmod(runtime_.Path().c_str(), 0770), 0);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "other users can write to the folder");
    ASSERT_EQ(::chmod(runtime_.Path().c_str(), 0703), 0);
    EXPECT_FALSE(Transmit()) << "writable by others";
    ASSERT_EQ(::chmod(runtime_.Path().c_str(), 0755), 0);
    EXPECT_TRUE(Transmit()) << "readable by others is allowed for XDG_RUNTIME_DIR";
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(EndpointTrustTest, SocketOfAnotherUserIsRefused) {
    REQUIRE_ROOT_AND_NOBODY();
    const int listener = Listen(Endpoint());
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::lchown(Endpoint().c_str(), Nobody()->pw_uid, Nobody()->pw_gid), 0);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "the endpoint belongs to user nobody");
    EXPECT_FALSE(AnyoneConnected(listener));
    ::close(listener);
}

TEST_F(EndpointTrustTest, SymbolicLinkInTheEndpointsPlaceIsRefused) {
    const std::string real = runtime_.Path() + "/elsewhere";
    const int listener = Listen(real);
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::symlink(real.c_str(), Endpoint().c_str()), 0);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "the endpoint is a symbolic link");
    EXPECT_FALSE(AnyoneConnected(listener));
    ::close(listener);
}

TEST_F(EndpointTrustTest, EndpointReplacedAfterConnectingIsCheckedAgain) {
    TestHost host;
    ASSERT_TRUE(Transmit());
    const std::string moved = Endpoint() + ".moved";
    ASSERT_EQ(::rename(Endpoint().c_str(), moved.c_str()), 0);
    ASSERT_EQ(::symlink(moved.c_str(), Endpoint().c_str()), 0);
    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "the endpoint is a symbolic link");
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(EndpointTrustTest, SymbolicLinkForTheFolderIsRefused) {
    TestHost host;
    const std::string link = runtime_.Path() + "-link";
    ASSERT_EQ(::symlink(runtime_.Path().c_str(), link.c_str()), 0);
    ::setenv("XDG_RUNTIME_DIR", link.c_str(), 1);
    hostlink::UnixEndpoint viaLink;
    EXPECT_FALSE(viaLink.Find(hostlink::HOST_CLASS_NAME));
    EXPECT_EQ(viaLink.Status().Reason, "the folder is a symbolic link");
    ::unlink(link.c_str());
    EXPECT_TRUE(host.Messages().empty());
}

// A host run as "nobody" whose socket file was then handed to us: only the
// peer's credentials tell.
TEST_F(EndpointTrustTest, HostRunningAsAnotherUserIsRefused) {
    REQUIRE_ROOT_AND_NOBODY();
    char pattern[] = "/tmp/vantrelle-nobody-XXXXXX";
    const std::string theirs = ::mkdtemp(pattern);
    ASSERT_EQ(::chown(theirs.c_str(), Nobody()->pw_uid, Nobody()->pw_gid), 0);
    const std::string theirSocket = theirs + "/host";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody()->pw_gid) != 0 ||
            ::setuid(Nobody()->pw_uid) != 0)
            ::_exit(10);
        const int fd = Listen(theirSocket);
        if (fd < 0) ::_exit(11);
        [[maybe_unused]] ssize_t w = ::write(ready[1], "x", 1);
        const int c = ::accept(fd, nullptr, nullptr);
        std::uint8_t byte;
        // Whatever the desk sends is a leak: exit 0 only when nothing came.
        ::_exit(c >= 0 && ::recv(c, &byte, 1, 0) == 0 ? 0 : 12);
    }
    ::close(ready[1]);
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1) << "the host under 'nobody' did not start";
    ::close(ready[0]);
    ASSERT_EQ(::rename(theirSocket.c_str(), Endpoint().c_str()), 0);
    ASSERT_EQ(::lchown(Endpoint().c_str(), 0, 0), 0);

    EXPECT_FALSE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Refused);
    EXPECT_EQ(Status().Reason, "the host runs as user nobody");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the foreign host received bytes or failed (status " << status << ")";
    ::rmdir(theirs.c_str());
}

TEST_F(EndpointTrustTest, RefusedHostIsNotAskedAgainUntilItsFileChanges) {
    REQUIRE_ROOT_AND_NOBODY();
    char pattern[] = "/tmp/vantrelle-nobody-XXXXXX";
    const std::string theirs = ::mkdtemp(pattern);
    ASSERT_EQ(::chown(theirs.c_str(), Nobody()->pw_uid, Nobody()->pw_gid), 0);
    const std::string theirSocket = theirs + "/host";
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(done[1]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody()->pw_gid) != 0 ||
            ::setuid(Nobody()->pw_uid) != 0)
            ::_exit(100);
        const int fd = Listen(theirSocket);
        if (fd < 0) ::_exit(101);
        [[maybe_unused]] ssize_t w = ::write(ready[1], "x", 1);
        // Counts the connections made until the test is done.
        int accepted = 0;
        for (;;) {
            pollfd p[2] = {{fd, POLLIN, 0}, {done[0], POLLIN, 0}};
            if (::poll(p, 2, -1) < 0) ::_exit(102);
            if (p[0].revents != 0) {
                const int c = ::accept(fd, nullptr, nullptr);
                if (c >= 0) ::close(c);
                ++accepted;
            } else if (p[1].revents != 0) {
                ::_exit(std::min(accepted, 99));
            }
        }
    }
    ::close(ready[1]);
    ::close(done[0]);
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1) << "the host under 'nobody' did not start";
    ::close(ready[0]);
    ASSERT_EQ(::rename(theirSocket.c_str(), Endpoint().c_str()), 0);
    ASSERT_EQ(::lchown(Endpoint().c_str(), 0, 0), 0);

    // "All Faders To 100%" and the looks in between.
    for (int i = 0; i < 33; ++i) {
        EXPECT_FALSE(Transmit());
        endpoint_.Refresh(hostlink::HOST_CLASS_NAME);
        EXPECT_EQ(Status().State, LinkState::Refused) << "frame " << i;
    }
    ::close(done[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "connections made to a refused host";

    // Replaced by a host of our own: found again.
    ASSERT_EQ(::unlink(Endpoint().c_str()), 0);
    TestHost ours;
    EXPECT_TRUE(Transmit());
    EXPECT_EQ(Status().State, LinkState::Connected);
    ::rmdir(theirs.c_str());
}

// The /tmp fallback is shared by everyone, so these run in a child with a
// private /tmp of its own (a mount namespace, root only).
int InPrivateTmp(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") != 0)
            ::_exit(99);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(EndpointFallbackFolder, IsMadePrivateWhenMissing) {
    if (::getuid() != 0) GTEST_SKIP() << "not root: cannot give the test a private /tmp";
    const int result = InPrivateTmp([] {
        hostlink::UnixEndpoint endpoint;
        if (endpoint.Find(hostlink::HOST_CLASS_NAME)) return 1; // nobody listens yet
        struct stat st {};
        const std::string folder = "/tmp/runtime-" + hostlink::CurrentUserName();
        if (::lstat(folder.c_str(), &st) != 0) return 2;
        if ((st.st_mode & 07777) != 0700 || st.st_uid != ::getuid()) return 3;
        return endpoint.Status().State == LinkState::NoHost ? 0 : 4;
    });
    EXPECT_EQ(result, 0);
}

TEST(EndpointFallbackFolder, IsRefusedWithTheWrongModeOrOwner) {
    REQUIRE_ROOT_AND_NOBODY();
    const int result = InPrivateTmp([] {
        const std::string folder = "/tmp/runtime-" + hostlink::CurrentUserName();
        ::mkdir(folder.c_str(), 0755);
        ::chmod(folder.c_str(), 0755);
        const int listener = Listen(folder + "/" + hostlink::HOST_CLASS_NAME);
        if (listener < 0) return 1;
        hostlink::UnixEndpoint endpoint;
        if (endpoint.Find(hostlink::HOST_CLASS_NAME)) return 2;
        if (endpoint.Status().Reason != "the folder is open to other users") return 3;
        ::chmod(folder.c_str(), 0700);
        ::chown(folder.c_str(), Nobody()->pw_uid, Nobody()->pw_gid);
        if (endpoint.Find(hostlink::HOST_CLASS_NAME)) return 4;
        if (endpoint.Status().Reason != "the folder belongs to user nobody") return 5;
        ::chown(folder.c_str(), 0, 0);
        if (!endpoint.Find(hostlink::HOST_CLASS_NAME)) return 6; // the test can pass
        return AnyoneConnected(listener) ? 0 : 7;
    });
    EXPECT_EQ(result, 0);
}

TEST(EndpointTrustChecks, UserNameComesFromThePasswordDatabase) {
    ::setenv("USER", "impostor", 1);
    EXPECT_EQ(hostlink::CurrentUserName(), hostlink::UserNameOf(::getuid()));
    EXPECT_NE(hostlink::CurrentUserName(), "impostor");
    EXPECT_EQ(hostlink::UserNameOf(4000000000u), "4000000000") << "no entry: the number";
}

} // namespace
