// The outputs against Debian's olad, a receiver nobody here wrote: what the
// desk sends is read back from the daemon.

#include "Olad.h"
#include "PrivateNetwork.h"
#include "output/ArtNetOutput.h"
#include "output/Cid.h"
#include "output/ola/OlaOutput.h"
#include "output/OutputScheduler.h"
#include "output/SacnOutput.h"

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

// olad with one plugin and its first device's input port on universe 1.
void StartWithInput(TOlad& olad) {
    ASSERT_TRUE(olad.Start()) << olad.Error();
    const auto device = olad.WaitForDevice();
    ASSERT_TRUE(device) << "the plugin made no device: " << olad.Log();
    ASSERT_TRUE(olad.PatchInput(*device, 1));
}

// olad with only its dummy plugin (no network at all), whose output port
// keeps universe 1 alive for the client's levels.
void StartWithDummyOutput(TOlad& olad) {
    ASSERT_TRUE(olad.Start()) << olad.Error();
    const auto device = olad.WaitForDevice();
    ASSERT_TRUE(device) << "the dummy plugin made no device: " << olad.Log();
    ASSERT_TRUE(olad.PatchOutput(*device, 1));
}

TEST(Olad, ReceivesSacnMulticast) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("e131");
    ASSERT_NO_FATAL_FAILURE(StartWithInput(olad));
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = 1;
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(config), {});
    scheduler.Start();
    const TUniverseLevels levels = Ramp(3);
    scheduler.Post(TLevelSpan(levels));
    EXPECT_TRUE(WaitForLevels(1, levels)) << olad.Log();
    scheduler.Stop();
}

TEST(Olad, ReceivesSacnUnicastOnLoopback) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("e131");
    ASSERT_NO_FATAL_FAILURE(StartWithInput(olad));
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = 1;
    config.unicast = ParseIpv4("127.0.0.1");
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(config), {});
    scheduler.Start();
    const TUniverseLevels levels = Ramp(77);
    scheduler.Post(TLevelSpan(levels));
    EXPECT_TRUE(WaitForLevels(1, levels)) << olad.Log();
    scheduler.Stop();
}

TEST(Olad, ReceivesArtNet) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("artnet");
    ASSERT_NO_FATAL_FAILURE(StartWithInput(olad));
    TArtNetConfig config;
    config.address = {0, 0, 1};
    config.destination = *ParseIpv4(LOCAL_ADDRESS);
    TOutputScheduler scheduler(std::make_unique<TArtNetOutput>(config), {});
    scheduler.Start();
    const TUniverseLevels levels = Ramp(150);
    scheduler.Post(TLevelSpan(levels));
    EXPECT_TRUE(WaitForLevels(1, levels)) << olad.Log();
    scheduler.Stop();
}

TEST(Olad, ClientOutputReportsTheLostDaemonAndLosesNothingAfterARestart) {
    REQUIRE_PRIVATE_NETWORK();
    TOlad olad("dummy");
    ASSERT_NO_FATAL_FAILURE(StartWithDummyOutput(olad));
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
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (scheduler.State() != TOutputState::DaemonNotReachable &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(scheduler.State(), TOutputState::DaemonNotReachable);
    EXPECT_EQ(OutputStateText(scheduler.State()), "daemon not reachable");

    ASSERT_NO_FATAL_FAILURE(StartWithDummyOutput(olad));
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
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (scheduler.State() != TOutputState::DaemonNotReachable &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(scheduler.State(), TOutputState::DaemonNotReachable);
    scheduler.Stop();
}

} // namespace
