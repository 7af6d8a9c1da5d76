// A MIDI API that cannot be reached is named in words, never a crash.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "surfaceio/MidiPort.h"

namespace {

TPortStatus WaitForState(TMidiPort& port, TPortState state) {
    for (int i = 0; i < 100 && port.Status().State != state; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return port.Status();
}

} // namespace

TEST(MidiPort, AMissingAlsaSequencerIsSaidInWords) {
    if (access("/dev/snd/seq", F_OK) == 0) GTEST_SKIP() << "this machine has an ALSA sequencer";
    const std::string words = "No ALSA sequencer on this machine (/dev/snd/seq is missing)";
    EXPECT_EQ(TMidiPort::ApiProblem(TMidiApi::Alsa), words);
    std::string error;
    EXPECT_TRUE(TMidiPort::PortNames(TMidiApi::Alsa, true, &error).empty());
    EXPECT_EQ(error, words);
    TInputMailbox box;
    TMidiPort port(TMidiApi::Alsa, "anything", "", GenericProfile(), box);
    port.Start();
    const TPortStatus status = WaitForState(port, TPortState::Failed);
    EXPECT_EQ(status.State, TPortState::Failed);
    EXPECT_EQ(status.Text, words);
    port.Send({0xB0, 0, 0}); // nowhere to go: dropped quietly
    port.Stop();
    EXPECT_EQ(port.Status().State, TPortState::Off);
}

TEST(MidiPort, NoJackServerIsSaidInWordsAndWaitedFor) {
    const std::string server = "vantrelle-no-server-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    EXPECT_EQ(TMidiPort::ApiProblem(TMidiApi::Jack), "No JACK server is running");
    TInputMailbox box;
    TMidiPort port(TMidiApi::Jack, "surface", "", GenericProfile(), box);
    port.Start();
    EXPECT_EQ(WaitForState(port, TPortState::Failed).Text, "No JACK server is running");
    port.Stop();
}
