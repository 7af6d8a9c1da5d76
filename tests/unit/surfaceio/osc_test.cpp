// OSC datagrams as they come off the wire: accepted, or dropped and counted.

#include <cstring>
#include <string>
#include <vector>

#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "FreeUdpPort.h"
#include "surfaceio/OscServer.h"

namespace {

std::vector<std::uint8_t> Padded(const std::string& text) {
    std::vector<std::uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    while (out.size() % 4 != 0)
        out.push_back(0);
    return out;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

void AppendBig32(std::vector<std::uint8_t>& to, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        to.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::vector<std::uint8_t> Message(const std::string& path, const std::string& types,
                                  const std::vector<std::uint32_t>& words) {
    auto m = Padded(path);
    Append(m, Padded("," + types));
    for (auto w : words)
        AppendBig32(m, w);
    return m;
}

std::uint32_t FloatBits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

struct Decoded {
    int accepted;
    long long dropped;
    std::vector<TSurfaceInput> inputs;
};

Decoded DecodeDatagram(const std::vector<std::uint8_t>& bytes) {
    TInputMailbox box;
    long long dropped = 0;
    const int accepted = TOscServer::Decode(bytes.data(), bytes.size(), box, dropped);
    return {accepted, dropped, box.TakeAll()};
}

} // namespace

TEST(OscCommands, AcceptsTheDesksAddresses) {
    auto d = DecodeDatagram(Message("/vantrelle/fader/32", "f", {FloatBits(0.5f)}));
    ASSERT_EQ(d.accepted, 1);
    EXPECT_EQ(d.inputs[0].Role, TControlRole::Fader);
    EXPECT_EQ(d.inputs[0].Index, 32);
    EXPECT_EQ(d.inputs[0].Value, 128);
    d = DecodeDatagram(Message("/vantrelle/channel/512", "i", {255}));
    ASSERT_EQ(d.accepted, 1);
    EXPECT_EQ(d.inputs[0].Role, TControlRole::Channel);
    EXPECT_EQ(d.inputs[0].Value, 255);
    d = DecodeDatagram(Message("/vantrelle/page", "i", {16}));
    ASSERT_EQ(d.accepted, 1);
    EXPECT_EQ(d.inputs[0].Index, 16);
    d = DecodeDatagram(Message("/vantrelle/bump/1", "i", {0}));
    ASSERT_EQ(d.accepted, 1);
    EXPECT_FALSE(d.inputs[0].Pressed);
    EXPECT_EQ(DecodeDatagram(Message("/vantrelle/fader/1", "f", {FloatBits(1.0f)})).inputs[0].Value,
              255);
    EXPECT_EQ(DecodeDatagram(Message("/vantrelle/fader/1", "f", {FloatBits(0.0f)})).inputs[0].Value,
              0);
}

TEST(OscCommands, RefusesOutOfRangeAndWrongTypesWithoutClamping) {
    const std::vector<std::vector<std::uint8_t>> bad = {
        Message("/vantrelle/fader/1", "f", {FloatBits(1.0001f)}),
        Message("/vantrelle/fader/1", "f", {FloatBits(-0.0001f)}),
        Message("/vantrelle/fader/1", "f", {0x7FC00000}), // NaN
        Message("/vantrelle/fader/1", "i", {256}),
        Message("/vantrelle/fader/1", "i", {0xFFFFFFFF}), // -1
        Message("/vantrelle/fader/0", "i", {1}),
        Message("/vantrelle/fader/33", "i", {1}),
        Message("/vantrelle/fader/01", "i", {1}),
        Message("/vantrelle/fader/", "i", {1}),
        Message("/vantrelle/channel/0", "i", {1}),
        Message("/vantrelle/channel/513", "i", {1}),
        Message("/vantrelle/page", "i", {0}),
        Message("/vantrelle/page", "i", {17}),
        Message("/vantrelle/page", "f", {FloatBits(2.0f)}),
        Message("/vantrelle/bump/1", "i", {2}),
        Message("/vantrelle/fader/1", "ii", {1, 2}),
        Message("/vantrelle/fader/1", "", {}),
        Message("/vantrelle/fader/1", "s", {0x61000000}),
        Message("/other/fader/1", "i", {1}),
        Message("/vantrelle/fader/1/x", "i", {1}),
    };
    for (const auto& m : bad) {
        const auto d = DecodeDatagram(m);
        EXPECT_EQ(d.accepted, 0) << std::string(m.begin(), m.begin() + 20);
        EXPECT_EQ(d.dropped, 1);
        EXPECT_TRUE(d.inputs.empty());
    }
}

TEST(OscDatagrams, BrokenOnesAreDroppedAndCounted) {
    auto good = Message("/vantrelle/fader/1", "i", {5});
    const std::vector<std::vector<std::uint8_t>> broken = {
        {},
        {'/'},
        std::vector<std::uint8_t>(good.begin(), good.end() - 4),           // argument cut off
        std::vector<std::uint8_t>(good.begin(), good.begin() + 18),        // not a multiple of 4
        std::vector<std::uint8_t>(20, 'a'),                                // no path
        std::vector<std::uint8_t>{'/', 'v', 'a', 'n', 't', 'r', 'e', 'l'}, // no end to the path
    };
    for (const auto& b : broken)
        EXPECT_EQ(DecodeDatagram(b).dropped, 1) << b.size();
}

TEST(OscDatagrams, BundlesActInOrderAndBadElementsAreCounted) {
    std::vector<std::uint8_t> bundle = Padded("#bundle");
    AppendBig32(bundle, 0);
    AppendBig32(bundle, 1); // time tag: at once
    const auto a = Message("/vantrelle/page", "i", {2});
    const auto b = Message("/vantrelle/fader/1", "i", {9});
    const auto bad = Message("/vantrelle/page", "i", {99});
    for (const auto* m : {&a, &b, &bad}) {
        AppendBig32(bundle, static_cast<std::uint32_t>(m->size()));
        Append(bundle, *m);
    }
    AppendBig32(bundle, 4000); // an element longer than what is left
    TInputMailbox box;
    long long dropped = 0;
    std::vector<std::string> paths;
    TOscServer::Decode(bundle.data(), bundle.size(), box, dropped, &paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"/vantrelle/page", "/vantrelle/fader/1"}));
    const auto d = DecodeDatagram(bundle);
    EXPECT_EQ(d.accepted, 2);
    EXPECT_EQ(d.dropped, 2);
    ASSERT_EQ(d.inputs.size(), 2u);
    EXPECT_EQ(d.inputs[0].Role, TControlRole::Page);
    EXPECT_EQ(d.inputs[1].Value, 9);
}

TEST(OscFeedback, SameAddressesBack) {
    auto f = OscFeedbackFor(TControlRole::Fader, 3, 255);
    EXPECT_EQ(f.Path, "/vantrelle/fader/3");
    EXPECT_EQ(f.Arg.Type, 'f');
    EXPECT_FLOAT_EQ(f.Arg.Float, 1.0f);
    f = OscFeedbackFor(TControlRole::Page, 7, 1);
    EXPECT_EQ(f.Path, "/vantrelle/page");
    EXPECT_EQ(f.Arg.Int, 7);
    f = OscFeedbackFor(TControlRole::Bump, 2, 1);
    EXPECT_EQ(f.Path, "/vantrelle/bump/2");
    EXPECT_EQ(f.Arg.Int, 1);
}

namespace {

// A UDP socket of a client on 127.0.0.1, with a short receive wait.
struct Client {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    Client() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        timeval wait{0, 300000};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    ~Client() { ::close(fd); }
    void SendTo(int port, const std::vector<std::uint8_t>& m) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(fd, m.data(), m.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // The path of the next datagram, empty when none came.
    std::string Receive() const {
        char buffer[512];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        return got > 0 ? std::string(buffer) : std::string();
    }
};

} // namespace

TEST(OscServer, TheMovingClientIsLeftOutOfItsOwnEchoOthersHearIt) {
    TInputMailbox box;
    TOscServer server(box);
    const int port = FreeUdpPort();
    ASSERT_EQ(server.Start("127.0.0.1", port, ""), "");
    Client mover, other;
    other.SendTo(port, Message("/vantrelle/page", "i", {1}));
    mover.SendTo(port, Message("/vantrelle/fader/3", "i", {100}));
    for (int i = 0; i < 100 && server.Accepted() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(server.Accepted(), 2);
    server.Send(OscFeedbackFor(TControlRole::Fader, 3, 100));
    EXPECT_EQ(other.Receive(), "/vantrelle/fader/3");
    EXPECT_EQ(mover.Receive(), ""); // its own move
    server.Send(OscFeedbackFor(TControlRole::Fader, 4, 100));
    EXPECT_EQ(mover.Receive(), "/vantrelle/fader/4"); // another address: told
    EXPECT_EQ(other.Receive(), "/vantrelle/fader/4");
    std::this_thread::sleep_for(std::chrono::milliseconds(TOscServer::ECHO_HOLD_MS + 50));
    server.Send(OscFeedbackFor(TControlRole::Fader, 3, 120));
    EXPECT_EQ(mover.Receive(), "/vantrelle/fader/3"); // the hand let go long ago
    server.Stop();
}

TEST(OscServer, ListensOnlyWhereToldAndNamesWhyNot) {
    TInputMailbox box;
    TOscServer first(box), second(box);
    const int port = FreeUdpPort();
    ASSERT_EQ(first.Start("127.0.0.1", port, ""), "");
    EXPECT_NE(second.Start("127.0.0.1", port, "").find("cannot listen on 127.0.0.1:"),
              std::string::npos);
    EXPECT_NE(second.Start("localhost", port + 1, "").find("not an IPv4 address"),
              std::string::npos);
    EXPECT_NE(second.Start("127.0.0.1", port + 1, "nowhere").find("feedback address"),
              std::string::npos);
}
