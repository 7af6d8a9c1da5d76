// The surfaces' settings file: strict, and nothing of a bad file used.

#include <gtest/gtest.h>

#include "surfaces/SurfaceSettings.h"

TEST(SurfaceSettings, DefaultsAreOffAndListenOnThisMachine) {
    TSurfaceSettings s;
    ASSERT_EQ(ParseSurfaceSettings("", s), "");
    EXPECT_FALSE(s.MidiEnabled);
    EXPECT_FALSE(s.OscEnabled);
    EXPECT_EQ(s.OscAddress, "127.0.0.1");
}

TEST(SurfaceSettings, FormatReadsBack) {
    TSurfaceSettings s;
    s.MidiEnabled = true;
    s.MidiApi = TMidiApi::Alsa;
    s.MidiInput = "Fader Box:0";
    s.Profile = "sixteen.profile";
    s.OscEnabled = true;
    s.OscAddress = "192.168.1.20";
    s.OscPort = 8000;
    s.OscFeedback = "127.0.0.1:9001";
    TSurfaceSettings back;
    ASSERT_EQ(ParseSurfaceSettings(FormatSurfaceSettings(s), back), "");
    EXPECT_EQ(back, s);
}

TEST(SurfaceSettings, RefusesBadLinesNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"midi.enabled=yes\n", "line 1: bad value for \"midi.enabled\""},
        {"# c\nmidi.api=coreaudio\n", "line 2: bad value for \"midi.api\""},
        {"osc.port=0\n", "line 1: bad value for \"osc.port\""},
        {"osc.port=65536\n", "line 1: bad value for \"osc.port\""},
        {"osc.address=localhost\n", "line 1: bad value for \"osc.address\""},
        {"osc.address=1.2.3.256\n", "line 1: bad value for \"osc.address\""},
        // inet_pton would refuse it at start-up: refused here, with its line.
        {"osc.address=010.0.0.1\n", "line 1: bad value for \"osc.address\""},
        {"osc.address=1.2.3\n", "line 1: bad value for \"osc.address\""},
        {"osc.address=1.2.3.4.\n", "line 1: bad value for \"osc.address\""},
        {"osc.feedback=1.2.3.4:x\n", "line 1: bad value for \"osc.feedback\""},
        {"midi.profile=../../etc/passwd\n", "line 1: bad value for \"midi.profile\""},
        {"midi.enabled=1\nmidi.enabled=1\n", "line 2: \"midi.enabled\" given twice"},
        {"colour=red\n", "line 1: unknown key \"colour\""},
        {"midi.enabled\n", "line 1: no '='"},
    };
    for (const auto& c : cases) {
        TSurfaceSettings s;
        s.OscPort = 1234;
        EXPECT_EQ(ParseSurfaceSettings(c.text, s), c.error) << c.text;
        EXPECT_EQ(s.OscPort, 1234);
    }
}

TEST(SurfaceSettings, HostAndPort) {
    std::string address;
    int port = 0;
    ASSERT_TRUE(ParseHostPort("9000", address, port));
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(port, 9000);
    ASSERT_TRUE(ParseHostPort("10.0.0.2:53000", address, port));
    EXPECT_EQ(address, "10.0.0.2");
    for (const char* bad : {"", ":", "x:1", "1.2.3.4:", "1.2.3.4:70000", "-1", "1.2.3.4:0"})
        EXPECT_FALSE(ParseHostPort(bad, address, port)) << bad;
}
