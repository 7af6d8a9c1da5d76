#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "MonitorFormat.h"
#include "TestHost.h"
#include "hostlink/Protocol.h"

using namespace std::chrono_literals;

namespace {

TEST(HostProtocol, HeaderIsLittleEndianAtFixedOffsets) {
    std::uint8_t bytes[hostlink::HEADER_SIZE];
    hostlink::EncodeHeader({0x4A, 0x01020304, 0x1122334455667788ull, 512, 1}, bytes);
    const std::uint8_t expected[hostlink::HEADER_SIZE] = {
        0x4A, 0,    0,    0,    0x04, 0x03, 0x02, 0x01, 0x88, 0x77, 0x66, 0x55,
        0x44, 0x33, 0x22, 0x11, 0x00, 0x02, 0,    0,    1,    0,    0,    0};
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof bytes));
    const hostlink::MessageHeader back = hostlink::DecodeHeader(bytes);
    EXPECT_EQ(back.WParam, 0x01020304u);
    EXPECT_EQ(back.LParam, 0x1122334455667788ull);
    EXPECT_TRUE(back.IsSent());

    std::uint8_t reply[hostlink::REPLY_SIZE];
    hostlink::EncodeReply(-2, reply);
    EXPECT_EQ(hostlink::DecodeReply(reply), -2);
}

TEST(HostProtocol, EndpointLivesInTheRuntimeDirectory) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(hostlink::EndpointPath("THXMainForm"), "/run/user/1000/THXMainForm");
    EXPECT_FALSE(hostlink::LocateEndpoint("THXMainForm").Fallback);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("USER", "someone-else", 1);
    const passwd* me = ::getpwuid(::getuid());
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(hostlink::EndpointPath("THXMainForm"),
              std::string("/tmp/runtime-") + me->pw_name + "/THXMainForm")
        << "the user comes from the password database, not from $USER";
    EXPECT_TRUE(hostlink::LocateEndpoint("THXMainForm").Fallback);
}

TEST(HostServer, RefusesAnOversizedMessageAndKeepsServing) {
    PrivateRuntimeDir runtime;
    TestHost host;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, hostlink::EndpointPath(hostlink::HOST_CLASS_NAME).c_str());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    std::uint8_t header[hostlink::HEADER_SIZE];
    hostlink::EncodeHeader({0x4A, 0, 256, 0xFFFFFFF0u, 1}, header);
    ASSERT_EQ(::send(fd, header, sizeof header, MSG_NOSIGNAL), static_cast<ssize_t>(sizeof header));
    std::uint8_t byte;
    EXPECT_EQ(::recv(fd, &byte, 1, 0), 0) << "the host closes the connection";
    ::close(fd);
    EXPECT_TRUE(host.Messages().empty());
}

hostlink::ReceivedMessage Frame(std::initializer_list<std::pair<int, int>> levels) {
    hostlink::ReceivedMessage m;
    m.Header = {hostlink::WM_COPYDATA, 0, 256, 512, 1};
    m.Payload.assign(512, 0);
    for (auto [channel, level] : levels)
        m.Payload[static_cast<std::size_t>(channel - 1)] = static_cast<std::uint8_t>(level);
    return m;
}

TEST(MonitorFormat, FramesPrintAsRunsOfLevels) {
    EXPECT_EQ(monitor::FormatLine(1, Frame({})), "#1 WM_COPYDATA frame 512 bytes: all 0");
    EXPECT_EQ(monitor::FormatLine(2, Frame({{33, 128}, {40, 255}, {41, 255}, {512, 1}})),
              "#2 WM_COPYDATA frame 512 bytes: 33=128 40-41=255 512=1 (4 above 0)");
    hostlink::ReceivedMessage key;
    key.Header = {hostlink::WM_KEYUP, 0x141, 0xC01E0001, 0, 0};
    EXPECT_EQ(monitor::FormatLine(3, key), "#3 WM_KEYUP wParam=0x141 lParam=0xc01e0001");
}

TEST(MonitorFormat, JsonCarriesEveryLevelOfAFrame) {
    const std::string json = monitor::FormatJson(7, Frame({{1, 255}}));
    EXPECT_EQ(
        json.rfind("{\"n\":7,\"msg\":74,\"wParam\":0,\"lParam\":256,\"length\":512,\"sent\":true,"
                   "\"levels\":[255,0,",
                   0),
        0u);
    EXPECT_EQ(std::count(json.begin(), json.end(), ','), 6 + 511);
}

} // namespace
