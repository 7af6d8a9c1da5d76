// What the outputs put on the wire, decoded by tshark's own E1.31 and
// Art-Net dissectors, field by field.

#include "PrivateNetwork.h"
#include "Receiver.h"
#include "output/ArtNetOutput.h"
#include "output/ByteOrder.h"
#include "output/Cid.h"
#include "output/OutputScheduler.h"
#include "output/SacnGroups.h"
#include "output/SacnOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// tshark writing every interface of the namespace to a file.
class TCapture {
public:
    explicit TCapture(std::string file) : m_file(std::move(file)) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(pipeFds[1], STDERR_FILENO);
            close(pipeFds[0]);
            execlp("tshark", "tshark", "-i", "any", "-w", m_file.c_str(), "-q",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        m_err = fdopen(pipeFds[0], "r");
    }
    ~TCapture() { Stop(); }
    // Waits until tshark says it captures.
    bool WaitCapturing() {
        char line[512];
        while (m_err && std::fgets(line, sizeof line, m_err)) {
            m_log += line;
            // Printed once the capture really runs and the file is open.
            if (std::string(line).find("Capture started") != std::string::npos) return true;
        }
        return false;
    }
    void Stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGINT);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
        if (m_err) std::fclose(m_err);
        m_err = nullptr;
    }
    const std::string& Log() const { return m_log; }

private:
    std::string m_file;
    pid_t m_pid = -1;
    FILE* m_err = nullptr;
    std::string m_log;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(Tshark, DecodesSacnAndArtNetFieldByField) {
    REQUIRE_PRIVATE_NETWORK();
    if (!RunCommand("command -v tshark")) GTEST_SKIP() << "tshark is not installed";
    char dir[] = "/tmp/vantrelle-capture-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string file = std::string(dir) + "/outputs.pcapng";
    TCapture capture(file);
    ASSERT_TRUE(capture.WaitCapturing()) << capture.Log();

    TReceiver sacnReceiver(sacn::PORT, {SacnMulticastGroup(1)});
    TReceiver artReceiver(artnet::PORT);
    TSacnConfig sacnConfig;
    sacnConfig.cid = *CidFromText("0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0");
    sacnConfig.universe = 1;
    sacnConfig.priority = 123;
    sacnConfig.sourceName = "Vantrelle";
    TOutputScheduler sacnOut(std::make_unique<TSacnOutput>(sacnConfig), {});
    TArtNetConfig artConfig;
    artConfig.address = {0, 1, 2};
    artConfig.destination = *ParseIpv4(LOCAL_BROADCAST);
    TOutputScheduler artOut(std::make_unique<TArtNetOutput>(artConfig), {});
    sacnOut.Start();
    artOut.Start();
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> levels{};
    levels[0] = 0xAB;
    levels[511] = 0xCD;
    sacnOut.Post(TLevelSpan(levels));
    artOut.Post(TLevelSpan(levels));
    ASSERT_TRUE(sacnReceiver.Next(10s));
    ASSERT_TRUE(artReceiver.WaitFor([](auto& d) { return d.size() > 9 && d[9] == 0x50; }, 10s));
    TDatagram poll = {'A', 'r', 't', '-', 'N', 'e', 't', 0, 0x00, 0x20, 0, 14, 0, 0};
    artReceiver.SendTo(LOCAL_BROADCAST, artnet::PORT, poll);
    ASSERT_TRUE(artReceiver.WaitFor([](auto& d) { return d.size() > 9 && d[9] == 0x21; }, 10s));
    sacnOut.Stop();
    artOut.Stop();
    // The three terminations have left once the receiver has them.
    for (int seen = 0; seen < 3;) {
        auto d = sacnReceiver.Next(5s);
        ASSERT_TRUE(d) << "terminations missing";
        if (d->size() > sacn::OFF_OPTIONS && ((*d)[sacn::OFF_OPTIONS] & 0x40)) ++seen;
    }
    // The capture lags the wire: wait until the file holds the last packets
    // sent (the terminations and the poll reply) before stopping it.
    // tshark decodes E1.31 only with its ACN heuristic and DMX preference on;
    // Art-Net it finds by itself.
    const std::string read = "tshark --enable-heuristic acn -o acn.heuristic_acn:TRUE "
                             "-o acn.dmx_enable:TRUE -r " +
                             file + " ";
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (Lines(CaptureOutput(read + "-Y 'acn.dmx.option_s == 1 || artnet.poll_reply' "
                                      "-T fields -e frame.number"))
                   .size() < 4 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(200ms);
    capture.Stop();
    ASSERT_TRUE(std::filesystem::exists(file)) << capture.Log();
    EXPECT_EQ(CaptureOutput(read + "-Y '_ws.malformed || _ws.expert.severity >= error'"), "")
        << "a packet tshark calls malformed";

    // One line a packet that `filter` keeps: the named fields, comma-separated.
    const auto fields = [&](const std::string& filter, std::initializer_list<const char*> names) {
        std::string command = read + "-Y '" + filter + "' -T fields -E separator=,";
        for (const char* name : names)
            command += std::string(" -e ") + name;
        return Lines(CaptureOutput(command));
    };
    const auto sacnLines =
        fields("acn.dmx.universe == 1",
               {"acn.cid", "acn.dmx.source_name", "acn.dmx.priority", "acn.dmx.universe",
                "acn.dmx.count", "acn.dmx.options", "udp.dstport"});
    ASSERT_FALSE(sacnLines.empty()) << "tshark found no E1.31 data packets";
    EXPECT_EQ(sacnLines.front(), "0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0,Vantrelle,123,1,513,0,5568");
    EXPECT_NE(CaptureOutput(read + "-Y 'acn.dmx.option_s == 1'"), "")
        << "no terminated packet decoded";

    const auto artLines =
        fields("artnet.output", {"artnet.header.opcode", "artnet.header.protver",
                                 "artnet.output.universe", "artnet.output.length", "udp.dstport"});
    ASSERT_FALSE(artLines.empty()) << "tshark found no ArtDmx packets";
    EXPECT_EQ(artLines.front(), "0x5000,14,18,512,6454");

    const auto replyLines =
        fields("artnet.poll_reply", {"artnet.poll_reply.short_name", "artnet.poll_reply.netswitch",
                                     "artnet.poll_reply.subswitch", "artnet.poll_reply.style",
                                     "artnet.poll_reply.status2", "ip.dst"});
    ASSERT_FALSE(replyLines.empty()) << "tshark found no ArtPollReply";
    // Status2 0x08: the whole 15-bit Port-Address is taken. The reply goes to
    // the poller, not to the broadcast address.
    EXPECT_EQ(replyLines.front(), std::string("Vantrelle,0x00,0x01,0x01,0x08,") + LOCAL_ADDRESS);
    RunCommand(std::string("rm -rf ") + dir);
}

// The keep-alive as the wire has it, timed by the capture: a new value three
// times, then one packet every 800-1000 ms. Each packet is counted as it
// leaves (the capture also sees its multicast copy come back).
TEST(Tshark, SacnKeepAliveIsThreeCopiesThenEveryEightHundredToAThousandMs) {
    REQUIRE_PRIVATE_NETWORK();
    if (!RunCommand("command -v tshark")) GTEST_SKIP() << "tshark is not installed";
    char dir[] = "/tmp/vantrelle-capture-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string file = std::string(dir) + "/keepalive.pcapng";
    TCapture capture(file);
    ASSERT_TRUE(capture.WaitCapturing()) << capture.Log();

    TReceiver receiver(sacn::PORT, {SacnMulticastGroup(3)});
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = 3;
    TOutputScheduler output(std::make_unique<TSacnOutput>(config), {});
    output.Start();
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> levels{};
    levels[0] = 0x42;
    output.Post(TLevelSpan(levels));
    int packets = 0;
    while (packets < 8) {
        ASSERT_TRUE(receiver.Next(5s)) << "the stream stopped after " << packets;
        ++packets;
    }
    output.Stop();
    const std::string read =
        "tshark --enable-heuristic acn -o acn.heuristic_acn:TRUE "
        "-o acn.dmx_enable:TRUE -r " +
        file + " -Y 'acn.dmx.universe == 3 && acn.dmx.option_s == 0 && sll.pkttype == 4' " +
        "-T fields -e frame.time_epoch";
    std::vector<std::string> lines;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while ((lines = Lines(CaptureOutput(read))).size() < 8 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(200ms);
    capture.Stop();
    lines = Lines(CaptureOutput(read));
    ASSERT_GE(lines.size(), 8u) << capture.Log();
    std::vector<double> times;
    for (const std::string& line : lines)
        times.push_back(std::stod(line));
    EXPECT_LT(times[1] - times[0], 0.2);
    EXPECT_LT(times[2] - times[1], 0.2);
    double shortest = 1e9;
    double longest = 0;
    for (std::size_t i = 3; i < times.size(); ++i) {
        EXPECT_GE(times[i] - times[i - 1], 0.8) << "packet " << i;
        EXPECT_LE(times[i] - times[i - 1], 1.0) << "packet " << i;
        shortest = std::min(shortest, times[i] - times[i - 1]);
        longest = std::max(longest, times[i] - times[i - 1]);
    }
    std::printf("keep-alive on the wire: copies %.1f and %.1f ms apart, then %.1f-%.1f ms\n",
                (times[1] - times[0]) * 1000, (times[2] - times[1]) * 1000, shortest * 1000,
                longest * 1000);
    RunCommand(std::string("rm -rf ") + dir);
}

} // namespace
