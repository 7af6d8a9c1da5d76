// The outputs against Debian's olad, a receiver nobody here wrote: what the
// desk sends is read back from the daemon.

#include "Olad.h"
#include "PrivateNetwork.h"
#include "output/ArtNetOutput.h"
#include "output/Cid.h"
#include "output/OutputScheduler.h"
#include "output/SacnOutput.h"
#include "output/ola/OlaOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

using namespace std::chrono_literals;

TUniverseLevels Ramp(std::uint8_t offset) {
    TUniverseLevels levels{};
    for (int i = 0; i < DMX_UNIVERSE_SIZE; ++i)
        levels[i] = static_cast<std::uint8_t>(i + offset);
    return levels;
}

TSacnConfig SacnOnUniverseOne() {
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = 1;
    return config;
}

// Sends a ramp through `output` and expects olad to hold it in universe 1.
void ExpectOladReceives(const TOlad& olad, std::unique_ptr<TOutput> output, std::uint8_t offset) {
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    const TUniverseLevels levels = Ramp(offset);
    scheduler.Post(TLevelSpan(levels));
    EXPECT_TRUE(WaitForLevels(1, levels)) << olad.Log();
    scheduler.Stop();
}

// Polls the scheduler's state until it is `state` or ten seconds pass.
void WaitForState(const TOutputScheduler& scheduler, TOutputState state) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (scheduler.State() != state && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
}

TEST(Olad, ReceivesSacnMulticast) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("e131");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();
    ExpectOladReceives(olad, std::make_unique<TSacnOutput>(SacnOnUniverseOne()), 3);
}

TEST(Olad, ReceivesSacnUnicastOnLoopback) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("e131");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();
    TSacnConfig config = SacnOnUniverseOne();
    config.unicast = ParseIpv4("127.0.0.1");
    ExpectOladReceives(olad, std::make_unique<TSacnOutput>(config), 77);
}

TEST(Olad, ReceivesArtNet) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("artnet");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();
    TArtNetConfig config;
    config.address = {0, 0, 1};
    config.destination = *ParseIpv4(LOCAL_ADDRESS);
    ExpectOladReceives(olad, std::make_unique<TArtNetOutput>(config), 150);
}

// olad's Art-Net node and the desk's Art-Net output on one machine: olad
// keeps receiving the unicast frames another controller sends it while the
// desk listens for polls.
TEST(Olad, KeepsItsArtNetUnicastWhileTheDeskListensForPolls) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("artnet");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();
    TArtNetConfig deskConfig;
    deskConfig.address = {0, 0, 9};
    deskConfig.destination = *ParseIpv4(LOCAL_BROADCAST);
    auto desk = std::make_unique<TArtNetOutput>(deskConfig);
    TArtNetOutput* deskOutput = desk.get();
    TOutputScheduler deskScheduler(std::move(desk), {});
    deskScheduler.Start();
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!deskOutput->Listening() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(deskOutput->Listening());

    TArtNetConfig other;
    other.address = {0, 0, 1};
    other.destination = *ParseIpv4(LOCAL_ADDRESS);
    other.listen = false;
    for (const std::uint8_t offset : {40, 41, 42})
        ExpectOladReceives(olad, std::make_unique<TArtNetOutput>(other), offset);
    deskScheduler.Stop();
}

TEST(Olad, ClientOutputReportsTheLostDaemonAndLosesNothingAfterARestart) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("dummy");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Output, 1)) << olad.Error();
    auto output = std::make_unique<TOlaOutput>(TOlaConfig{1, 9010});
    TOlaOutput* ola = output.get();
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    const TUniverseLevels first = Ramp(1);
    scheduler.Post(TLevelSpan(first));
    ASSERT_TRUE(WaitForLevels(1, first)) << olad.Log();
    EXPECT_EQ(scheduler.State(), TOutputState::Sending);

    olad.Kill();
    const TUniverseLevels second = Ramp(2);
    scheduler.Post(TLevelSpan(second)); // the fader moves while the daemon is gone
    WaitForState(scheduler, TOutputState::DaemonNotReachable);
    EXPECT_EQ(scheduler.State(), TOutputState::DaemonNotReachable);
    EXPECT_EQ(OutputStateText(scheduler.State()), "daemon not reachable");

    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Output, 1)) << olad.Error();
    EXPECT_TRUE(WaitForLevels(1, second)) << "the levels set while olad was down never arrived";
    EXPECT_GE(ola->Connections(), 2);
    EXPECT_EQ(scheduler.State(), TOutputState::Sending);
    scheduler.Stop();
}

// Sockets this process holds.
int OwnSockets() {
    const std::string out = CaptureOutput("ls -l /proc/" + std::to_string(getpid()) + "/fd");
    int count = 0;
    for (std::size_t at = out.find("socket:"); at != std::string::npos;
         at = out.find("socket:", at + 1))
        ++count;
    return count;
}

// With no olad at all, each second's attempt fails at once; none of them
// may leave a socket behind in the desk.
TEST(Olad, ClientOutputLeavesNothingBehindWhileTheDaemonIsAway) {
    REQUIRE_PRIVATE_NETWORK();
    const int before = OwnSockets();
    TOutputScheduler scheduler(std::make_unique<TOlaOutput>(TOlaConfig{1, 9010}), {});
    scheduler.Start();
    TUniverseLevels levels = Ramp(5);
    const auto until = std::chrono::steady_clock::now() + 5s;
    for (std::uint8_t step = 0; std::chrono::steady_clock::now() < until; ++step) {
        levels[0] = step;
        scheduler.Post(TLevelSpan(levels));
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_LE(OwnSockets(), before + 1) << "sockets gathered while olad was away";
    scheduler.Stop();
}

TEST(Olad, ClientOutputWithoutADaemonSaysSoAndDoesNotBlock) {
    REQUIRE_PRIVATE_NETWORK();
    TOutputScheduler scheduler(std::make_unique<TOlaOutput>(TOlaConfig{1, 9010}), {});
    scheduler.Start();
    const TUniverseLevels levels = Ramp(9);
    scheduler.Post(TLevelSpan(levels)); // must return at once although nothing listens
    WaitForState(scheduler, TOutputState::DaemonNotReachable);
    EXPECT_EQ(scheduler.State(), TOutputState::DaemonNotReachable);
    scheduler.Stop();
}

// The desk's TCP connections to olad's port that are not yet over.
int ConnectionsToOlad() {
    const std::string out =
        CaptureOutput("ss -Htn state established state syn-sent state fin-wait-1 state fin-wait-2 "
                      "state closing state last-ack state close-wait '( dport = :9010 )'");
    return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
}

// A stopped (not ended) olad still holds its port: connecting works, but
// nothing is ever answered. The desk keeps at most one attempt open at a
// time instead of gathering one more every second, and goes on once olad
// does.
TEST(Olad, ClientOutputHoldsOneConnectionToAStoppedDaemon) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("dummy");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Output, 1)) << olad.Error();
    olad.Pause();
    // The set-up's own tools may have left a half-closed one of theirs.
    const int before = ConnectionsToOlad();
    auto output = std::make_unique<TOlaOutput>(TOlaConfig{1, 9010});
    TOlaOutput* ola = output.get();
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    TUniverseLevels levels = Ramp(4);
    int most = 0;
    // Levels keep changing while the daemon sleeps.
    const auto until = std::chrono::steady_clock::now() + 8s;
    for (std::uint8_t step = 0; std::chrono::steady_clock::now() < until; ++step) {
        levels[0] = step;
        scheduler.Post(TLevelSpan(levels));
        std::this_thread::sleep_for(20ms);
        most = std::max(most, ConnectionsToOlad());
    }
    EXPECT_LE(most - before, 1) << "connections gathered while olad was stopped; made "
                                << ola->Connections() << "\n"
                                << CaptureOutput("ss -Htn state all");

    olad.Resume();
    levels = Ramp(8);
    scheduler.Post(TLevelSpan(levels));
    EXPECT_TRUE(WaitForLevels(1, levels)) << "no recovery once olad went on: " << olad.Log();
    EXPECT_EQ(scheduler.State(), TOutputState::Sending);
    scheduler.Stop();
}

} // namespace
