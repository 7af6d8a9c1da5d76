// sACN and Art-Net outputs on real sockets inside the private namespace:
// multicast delivery, discovery, termination, keep-alive, coalescing and the
// ArtPoll answer.

#include "PrivateNetwork.h"
#include "Receiver.h"
#include "output/ArtNetOutput.h"
#include "output/ByteOrder.h"
#include "output/Cid.h"
#include "output/OutputScheduler.h"
#include "output/OutputSet.h"
#include "output/SacnGroups.h"
#include "output/SacnOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using TLevels = std::array<std::uint8_t, DMX_UNIVERSE_SIZE>;

TLevels Levels(std::uint8_t first, std::uint8_t last) {
    TLevels levels{};
    levels[0] = first;
    levels[511] = last;
    return levels;
}

bool IsSacnData(const TDatagram& d) {
    return d.size() == sacn::DATA_PACKET_SIZE &&
           GetU16Be(d.data() + sacn::OFF_ROOT_VECTOR + 2) == sacn::VECTOR_ROOT_DATA;
}

bool IsSacnDiscovery(const TDatagram& d) {
    return d.size() == sacn::DISCOVERY_PACKET_SIZE &&
           GetU16Be(d.data() + sacn::OFF_ROOT_VECTOR + 2) == sacn::VECTOR_ROOT_EXTENDED;
}

bool CarriesSacn(const TDatagram& d, const TLevels& levels) {
    return IsSacnData(d) &&
           std::memcmp(d.data() + sacn::OFF_DATA, levels.data(), levels.size()) == 0;
}

bool IsArtNet(const TDatagram& d, std::uint16_t opcode) {
    return d.size() >= 12 && std::memcmp(d.data(), "Art-Net", 8) == 0 &&
           GetU16Le(d.data() + artnet::OFF_OPCODE) == opcode;
}

TSacnConfig SacnConfig(std::uint16_t universe) {
    TSacnConfig config;
    config.cid = GenerateCid();
    config.universe = universe;
    return config;
}

TEST(SacnOnTheWire, MulticastFramesDiscoveryAndThreeTerminations) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(sacn::PORT, {SacnMulticastGroup(7), SacnDiscoveryGroup()});
    ASSERT_TRUE(receiver.Ok());
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(SacnConfig(7)), {});
    scheduler.Start();
    const TLevels levels = Levels(11, 99);
    scheduler.Post(TLevelSpan(levels));

    const auto frame = receiver.WaitFor([&](auto& d) { return CarriesSacn(d, levels); }, 10s);
    ASSERT_TRUE(frame) << "no sACN frame reached the universe's group";
    EXPECT_EQ(GetU16Be(frame->data() + sacn::OFF_UNIVERSE), 7);
    EXPECT_EQ((*frame)[sacn::OFF_OPTIONS], 0);
    EXPECT_EQ(scheduler.State(), TOutputState::Sending);

    const auto discovery = receiver.WaitFor(IsSacnDiscovery, 15s);
    ASSERT_TRUE(discovery) << "no universe discovery packet";
    EXPECT_EQ(GetU16Be(discovery->data() + sacn::OFF_DISCOVERY_UNIVERSES), 7);

    scheduler.Stop();
    std::vector<TDatagram> terminations;
    while (auto d = receiver.Next(2s))
        if (IsSacnData(*d) && ((*d)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED))
            terminations.push_back(*d);
    ASSERT_EQ(terminations.size(), 3u);
    for (std::size_t i = 1; i < terminations.size(); ++i)
        EXPECT_EQ(static_cast<std::uint8_t>(terminations[i][sacn::OFF_SEQUENCE] -
                                            terminations[i - 1][sacn::OFF_SEQUENCE]),
                  1)
            << "termination packets keep the sequence going";
}

// A receiver may miss a packet: new levels go three times, then unchanged
// levels go again every 800-1000 ms, as they arrive.
TEST(SacnOnTheWire, NewLevelsThreeTimesThenAKeepAliveWithinEightHundredToAThousandMs) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(sacn::PORT, {SacnMulticastGroup(8)});
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(SacnConfig(8)), {});
    scheduler.Start();
    const TLevels levels = Levels(5, 6);
    scheduler.Post(TLevelSpan(levels));
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    while (arrivals.size() < 7) {
        const auto d = receiver.WaitFor(IsSacnData, 5s);
        ASSERT_TRUE(d) << "keep-alive stopped after " << arrivals.size() << " packets";
        EXPECT_TRUE(CarriesSacn(*d, levels));
        arrivals.push_back(std::chrono::steady_clock::now());
    }
    scheduler.Stop();
    // The copies follow at the rate (1/44 s), with room for a late wake.
    EXPECT_LT(arrivals[1] - arrivals[0], 200ms);
    EXPECT_LT(arrivals[2] - arrivals[1], 200ms);
    for (std::size_t i = 3; i < arrivals.size(); ++i) {
        const auto gap =
            std::chrono::duration_cast<std::chrono::milliseconds>(arrivals[i] - arrivals[i - 1]);
        EXPECT_GE(gap, 800ms) << "packet " << i;
        EXPECT_LE(gap, 1000ms) << "packet " << i;
    }
}

TEST(SacnOnTheWire, FastDragIsCoalescedAndEndsOnTheFinalLevels) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(sacn::PORT, {SacnMulticastGroup(9)});
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(SacnConfig(9)), {});
    scheduler.Start();
    // A drag across the whole trench, a step every 50 microseconds of posting.
    const auto start = std::chrono::steady_clock::now();
    TLevels levels{};
    int steps = 0;
    while (std::chrono::steady_clock::now() - start < 1s) {
        levels[0] = static_cast<std::uint8_t>(steps % 256);
        levels[1] = static_cast<std::uint8_t>(steps / 256);
        scheduler.Post(TLevelSpan(levels));
        ++steps;
        const auto until = std::chrono::steady_clock::now() + 50us;
        while (std::chrono::steady_clock::now() < until) {
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int packets = 0;
    bool finalSeen = false;
    while (!finalSeen) {
        const auto d = receiver.WaitFor(IsSacnData, 5s);
        ASSERT_TRUE(d) << "the final levels never arrived";
        ++packets;
        finalSeen = CarriesSacn(*d, levels);
    }
    EXPECT_GT(steps, 1000);
    EXPECT_LE(packets, static_cast<int>(seconds * 44 * 1.25) + 3)
        << "more than the rate over " << seconds << " s";
    EXPECT_GE(packets, 5) << "a drag must be seen moving, not only its end";
    scheduler.Stop();
}

TEST(SacnOnTheWire, UnicastReachesTheGivenAddress) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(sacn::PORT, {SacnMulticastGroup(10)});
    TSacnConfig config = SacnConfig(10);
    config.unicast = ParseIpv4("127.0.0.1");
    TOutputScheduler scheduler(std::make_unique<TSacnOutput>(config), {});
    scheduler.Start();
    const TLevels levels = Levels(1, 2);
    scheduler.Post(TLevelSpan(levels));
    ASSERT_TRUE(receiver.WaitFor([&](auto& d) { return CarriesSacn(d, levels); }, 10s));
    scheduler.Stop();
}

TEST(ArtNetOnTheWire, DmxFramesAndAPollReplyToTheGivenBroadcast) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(artnet::PORT);
    ASSERT_TRUE(receiver.Ok());
    TArtNetConfig config;
    config.address = {1, 2, 3};
    config.destination = *ParseIpv4(LOCAL_BROADCAST);
    auto output = std::make_unique<TArtNetOutput>(config);
    TArtNetOutput* artNet = output.get();
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    const TLevels levels = Levels(200, 100);
    scheduler.Post(TLevelSpan(levels));

    const auto dmx = receiver.WaitFor([](auto& d) { return IsArtNet(d, artnet::OP_DMX); }, 10s);
    ASSERT_TRUE(dmx);
    EXPECT_EQ((*dmx)[artnet::OFF_DMX_SUB_UNI], 0x23);
    EXPECT_EQ((*dmx)[artnet::OFF_DMX_NET], 1);
    EXPECT_NE((*dmx)[artnet::OFF_DMX_SEQUENCE], 0);
    EXPECT_EQ(std::memcmp(dmx->data() + artnet::OFF_DMX_DATA, levels.data(), levels.size()), 0);
    ASSERT_TRUE(artNet->Listening()) << "the port was free, so the desk should listen";

    // A controller's broadcast poll, as a discovery tool sends it.
    TDatagram poll = {'A', 'r', 't', '-', 'N', 'e', 't', 0, 0x00, 0x20, 0, 14, 0, 0};
    receiver.SendTo(LOCAL_BROADCAST, artnet::PORT, poll);
    const auto reply =
        receiver.WaitFor([](auto& d) { return IsArtNet(d, artnet::OP_POLL_REPLY); }, 10s);
    ASSERT_TRUE(reply) << "no ArtPollReply";
    ASSERT_EQ(reply->size(), artnet::POLL_REPLY_SIZE);
    EXPECT_EQ(std::memcmp(reply->data() + artnet::OFF_REPLY_IP, "\xC0\x00\x02\x01", 4), 0);
    EXPECT_EQ((*reply)[artnet::OFF_REPLY_NET_SWITCH], 1);
    EXPECT_EQ((*reply)[artnet::OFF_REPLY_SUB_SWITCH], 2);
    EXPECT_EQ((*reply)[artnet::OFF_REPLY_SW_IN], 3);

    // A poll aimed at other port addresses gets no answer.
    TDatagram targeted = {'A',  'r', 't', '-',  'N', 'e',  't',  0,    0x00,
                          0x20, 0,   14,  0x20, 0,   0x00, 0x10, 0x00, 0x00};
    receiver.SendTo(LOCAL_BROADCAST, artnet::PORT, targeted);
    receiver.SendTo(LOCAL_BROADCAST, artnet::PORT, poll);
    ASSERT_TRUE(receiver.WaitFor([](auto& d) { return IsArtNet(d, artnet::OP_POLL_REPLY); }, 10s));
    // Stopped, the thread has handled both polls (they queue in order).
    scheduler.Stop();
    EXPECT_EQ(artNet->RepliesSent(), 2) << "two plain polls answered, the targeted one not";
}

TEST(ArtNetOnTheWire, UnchangedLevelsAreResentAboutEverySecond) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(artnet::PORT);
    TArtNetConfig config;
    config.destination = *ParseIpv4(LOCAL_BROADCAST);
    config.listen = false;
    TOutputScheduler scheduler(std::make_unique<TArtNetOutput>(config), {});
    scheduler.Start();
    const TLevels levels = Levels(3, 4);
    scheduler.Post(TLevelSpan(levels));
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    while (arrivals.size() < 3) {
        ASSERT_TRUE(receiver.WaitFor([](auto& d) { return IsArtNet(d, artnet::OP_DMX); }, 6s));
        arrivals.push_back(std::chrono::steady_clock::now());
    }
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        EXPECT_GT(arrivals[i] - arrivals[i - 1], 500ms);
        EXPECT_LT(arrivals[i] - arrivals[i - 1], 4s) << "Art-Net asks for one at least every 4 s";
    }
    scheduler.Stop();
}

// A node on this machine (olad, another desk) holds port 6454 on every
// address. The desk's listener must leave it every unicast packet: it
// listens only where polls are broadcast.
TEST(ArtNetOnTheWire, UnicastForANodeOnThisMachineIsLeftToIt) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver node(artnet::PORT);
    ASSERT_TRUE(node.Ok());
    TArtNetConfig config;
    config.address = {0, 0, 5};
    config.destination = *ParseIpv4(LOCAL_BROADCAST);
    auto output = std::make_unique<TArtNetOutput>(config);
    TArtNetOutput* artNet = output.get();
    TOutputScheduler scheduler(std::move(output), {});
    scheduler.Start();
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!artNet->Listening() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(artNet->Listening());

    // Another controller's frames for the node, by unicast.
    artnet::TDmxPacket frame{};
    artnet::BuildDmxPacket(frame, {0, 0, 1});
    TLevels levels{};
    TUdpSocket controller;
    std::string error;
    ASSERT_TRUE(controller.Open({*ParseIpv4(LOCAL_ADDRESS), *ParseIpv4("127.0.0.1")}, error));
    constexpr int FRAMES = 20;
    for (int i = 1; i <= FRAMES; ++i) {
        levels[0] = static_cast<std::uint8_t>(i);
        artnet::SetDmxFrame(frame, static_cast<std::uint8_t>(i), TLevelSpan(levels));
        const char* to = i % 2 ? LOCAL_ADDRESS : "127.0.0.1";
        ASSERT_EQ(controller.SendTo(*ParseIpv4(to), artnet::PORT, frame), TSendResult::Sent);
    }
    int received = 0;
    while (received < FRAMES) {
        const auto d = node.WaitFor(
            [](auto& d) {
                return IsArtNet(d, artnet::OP_DMX) && d.size() > artnet::OFF_DMX_SUB_UNI &&
                       d[artnet::OFF_DMX_SUB_UNI] == 1;
            },
            3s);
        if (!d) break;
        ++received;
    }
    EXPECT_EQ(received, FRAMES) << "the desk took unicast meant for the node";
    scheduler.Stop();
}

// OK with nothing changed: the stream goes on with its sequence and no
// goodbye; a changed sACN setting restarts sACN only.
TEST(OutputSetOnTheWire, ApplyingTheSameSettingsKeepsEveryStream) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver sacnReceiver(sacn::PORT);
    TReceiver artReceiver(artnet::PORT);
    TOutputSettings settings;
    settings.cid = CidToText(GenerateCid());
    settings.sacn.enabled = true;
    settings.sacn.universe = 12;
    settings.sacn.address = "127.0.0.1";
    settings.artnet.enabled = true;
    settings.artnet.address = LOCAL_BROADCAST;
    settings.artnet.listen = false;
    TOutputSet outputs;
    outputs.Apply(settings);
    ASSERT_EQ(outputs.Schedulers().size(), 2u);
    const TOutputScheduler* sacnBefore = outputs.Schedulers()[0].get();
    const TOutputScheduler* artBefore = outputs.Schedulers()[1].get();
    const TLevels levels = Levels(10, 20);
    outputs.Post(TLevelSpan(levels));
    ASSERT_TRUE(sacnReceiver.WaitFor(IsSacnData, 5s));

    outputs.Apply(settings);
    EXPECT_EQ(outputs.Schedulers()[0].get(), sacnBefore);
    EXPECT_EQ(outputs.Schedulers()[1].get(), artBefore);
    // Two keep-alives' worth: every packet data, none terminated, in sequence.
    std::optional<std::uint8_t> last;
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < until) {
        const auto d = sacnReceiver.Next(200ms);
        if (!d || !IsSacnData(*d)) continue;
        EXPECT_EQ((*d)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED, 0);
        const std::uint8_t sequence = (*d)[sacn::OFF_SEQUENCE];
        if (last) EXPECT_EQ(sequence, static_cast<std::uint8_t>(*last + 1));
        last = sequence;
    }
    EXPECT_TRUE(last) << "the stream stopped";

    settings.sacn.priority = 150;
    outputs.Apply(settings);
    EXPECT_EQ(outputs.Schedulers()[1].get(), artBefore) << "Art-Net was not touched";
    int terminated = 0;
    bool newPriority = false;
    outputs.Post(TLevelSpan(levels));
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!newPriority && std::chrono::steady_clock::now() < end) {
        const auto d = sacnReceiver.Next(500ms);
        if (!d || !IsSacnData(*d)) continue;
        if ((*d)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED)
            ++terminated;
        else
            newPriority = (*d)[sacn::OFF_PRIORITY] == 150;
    }
    EXPECT_EQ(terminated, 3) << "the old sACN stream ends properly";
    EXPECT_TRUE(newPriority);
    outputs.StopAll();
}

TEST(OutputSafety, ASocketRefusesAnyAddressItWasNotGiven) {
    REQUIRE_PRIVATE_NETWORK();
    TUdpSocket socket;
    std::string error;
    ASSERT_TRUE(socket.Open({*ParseIpv4("127.0.0.1")}, error));
    const std::uint8_t byte = 0;
    EXPECT_EQ(socket.SendTo(*ParseIpv4("127.0.0.2"), 5568, std::span(&byte, 1)),
              TSendResult::Refused);
    EXPECT_EQ(socket.SendTo(*ParseIpv4("127.0.0.1"), 5568, std::span(&byte, 1)), TSendResult::Sent);
}

} // namespace
