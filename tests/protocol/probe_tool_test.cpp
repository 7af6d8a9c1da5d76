// The command-line probe sends what it is told to the address it is given,
// and says goodbye on exit.

#include "PrivateNetwork.h"
#include "Receiver.h"
#include "output/ByteOrder.h"
#include "output/SacnPacket.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(ProbeTool, SendsTheGivenLevelsByUnicastAndTerminatesOnExit) {
    REQUIRE_PRIVATE_NETWORK();
    TReceiver receiver(sacn::PORT);
    ASSERT_TRUE(receiver.Ok());
    ASSERT_TRUE(RunCommand(std::string(OUTPUT_PROBE) +
                           " --sacn 5@127.0.0.1 --level 1=200 --level 512=7 --seconds 1"));
    // The datagrams wait in the socket's buffer; the probe has exited.
    int frames = 0;
    int terminations = 0;
    while (auto d = receiver.Next(1s)) {
        if (d->size() != sacn::DATA_PACKET_SIZE) continue;
        EXPECT_EQ(GetU16Be(d->data() + sacn::OFF_UNIVERSE), 5);
        EXPECT_EQ((*d)[sacn::OFF_DATA], 200);
        EXPECT_EQ((*d)[sacn::OFF_DATA + 511], 7);
        ++frames;
        if ((*d)[sacn::OFF_OPTIONS] & sacn::OPTION_STREAM_TERMINATED) ++terminations;
    }
    EXPECT_GE(frames, 4);
    EXPECT_EQ(terminations, 3);
}

TEST(ProbeTool, RefusesAWrongUniverseWithAMessage) {
    const std::string said = CaptureOutput("(" + std::string(OUTPUT_PROBE) + " --sacn 0 2>&1)");
    EXPECT_NE(said.find("between 1 and 63999"), std::string::npos) << said;
    EXPECT_FALSE(RunCommand(std::string(OUTPUT_PROBE) + " --sacn 0"));
    EXPECT_FALSE(RunCommand(std::string(OUTPUT_PROBE) + " --artnet 1:2@127.0.0.1"));
}

} // namespace
