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

} // namespace
