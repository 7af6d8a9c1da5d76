// Profiles as people write them, and as hostile files are.

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "surfaces/SurfaceProfile.h"

namespace {

std::string Parse(const std::string& text, TSurfaceProfile& p) {
    return ParseSurfaceProfile(text, p);
}

} // namespace

TEST(SurfaceProfile, ReadsEveryKindOfControl) {
    TSurfaceProfile p;
    const std::string error = Parse("# a comment\n"
                                    "name  Small  desk \n"
                                    "faders 8\n"
                                    "motorised yes\r\n"
                                    "fader 1 cc 1 0\n"
                                    "fader 2 cc14 2 1 33\n"
                                    "\tfader 3 pitchbend 16\n"
                                    "bump 1 note 1 0\n"
                                    "bump 2 cc 1 64\n"
                                    "page 1 note 1 32\n"
                                    "page 2 cc 1 90\n"
                                    "page 3 program 1 5\n"
                                    "bank-left note 1 46\n"
                                    "bank-right cc 1 47\n"
                                    "page-next note 1 48\n"
                                    "page-previous note 1 49\n",
                                    p);
    ASSERT_EQ(error, "");
    EXPECT_EQ(p.Name, "Small  desk");
    EXPECT_EQ(p.Faders, 8);
    EXPECT_TRUE(p.Motorised);
    ASSERT_EQ(p.Controls.size(), 12u);
    EXPECT_EQ(p.Controls[1].Address, (TMidiAddress{TMidiKind::Cc14, 1, 1, 33}));
    EXPECT_EQ(p.Controls[2].Address.Kind, TMidiKind::PitchBend);
    EXPECT_EQ(p.Controls[2].Address.Channel, 15);
    EXPECT_EQ(p.Controls[7].Role, TControlRole::Page);
    EXPECT_EQ(p.Controls[7].Address.Kind, TMidiKind::Program);
}

TEST(SurfaceProfile, FormatReadsBackAsTheSameProfile) {
    for (const TSurfaceProfile& original :
         {GenericProfile(), [] {
              TSurfaceProfile p;
              p.Name = "Eight";
              p.Faders = 8;
              p.Motorised = true;
              p.Controls.push_back({TControlRole::Fader, 1, {TMidiKind::PitchBend, 3, 0, 0}});
              p.Controls.push_back({TControlRole::Fader, 2, {TMidiKind::Cc14, 0, 2, 34}});
              p.Controls.push_back({TControlRole::BankLeft, 0, {TMidiKind::Note, 0, 46, 0}});
              return p;
          }()}) {
        TSurfaceProfile back;
        ASSERT_EQ(ParseSurfaceProfile(FormatSurfaceProfile(original), back), "");
        EXPECT_EQ(back, original);
    }
}

TEST(SurfaceProfile, GenericMapIsTheDocumentedDefault) {
    const TSurfaceProfile p = GenericProfile();
    EXPECT_EQ(p.Faders, 32);
    ASSERT_EQ(p.Controls.size(), 32u + 32u + 16u);
    EXPECT_EQ(p.Controls[0], (TProfileControl{TControlRole::Fader, 1, {TMidiKind::Cc, 0, 0, 0}}));
    EXPECT_EQ(p.Controls[31].Address.Number, 31);
    EXPECT_EQ(p.Controls[32], (TProfileControl{TControlRole::Bump, 1, {TMidiKind::Note, 0, 0, 0}}));
    EXPECT_EQ(p.Controls[64],
              (TProfileControl{TControlRole::Page, 1, {TMidiKind::Note, 0, 32, 0}}));
    EXPECT_EQ(p.Controls[79].Address.Number, 47);
}

TEST(SurfaceProfile, RefusesBadLinesNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"fader 1 cc 0 0\n", "line 1: the MIDI channel must be 1 to 16"},
        {"fader 1 cc 17 0\n", "line 1: the MIDI channel must be 1 to 16"},
        {"\nfader 1 cc 1 128\n", "line 2: the number must be 0 to 127"},
        {"fader 0 cc 1 1\n", "line 1: fader number must be 1 to 32"},
        {"fader 33 cc 1 1\n", "line 1: fader number must be 1 to 32"},
        {"page 17 note 1 1\n", "line 1: page number must be 1 to 16"},
        {"fader 1 cc 1\n", "line 1: \"cc\" takes a MIDI channel and 1 number(s)"},
        {"fader 1 cc 1 1 1\n", "line 1: \"cc\" takes a MIDI channel and 1 number(s)"},
        {"fader 1 note 1 1\n", "line 1: fader cannot be a \"note\" message"},
        {"bump 1 pitchbend 1\n", "line 1: bump cannot be a \"pitchbend\" message"},
        {"fader 1 cc14 1 7 7\n", "line 1: the MSB and LSB must be two CC numbers"},
        {"fader 1 cc 1 7\nbump 1 cc 1 7\n", "line 2: the message is used on line 1 already"},
        {"fader 1 cc14 1 7 39\nfader 2 cc 1 39\n", "line 2: the message is used on line 1 already"},
        {"fader 1 cc 1 7\nfader 1 cc 1 8\n", "line 2: this control was given on line 1"},
        {"faders 4\nfader 5 cc 1 1\n", "line 2: fader 5 is beyond faders 4 (line 1)"},
        {"faders 0\n", "line 1: faders must be 1 to 32"},
        {"motorised maybe\n", "line 1: motorised must be yes or no"},
        {"name\n", "line 1: the name is empty"},
        {"name a\nname b\n", "line 2: \"name\" given twice"},
        {"slider 1 cc 1 1\n", "line 1: unknown word \"slider\""},
        {"fader 1 cc 1 -1\n", "line 1: the number must be 0 to 127"},
        {"fader 1 cc 1 +1\n", "line 1: the number must be 0 to 127"},
        {"fader 1 cc 1 0x1\n", "line 1: the number must be 0 to 127"},
        {"fader 1 sysex 1\n", "line 1: unknown kind of message \"sysex\""},
        {"fader 1 cc 1 1\x01\n", "line 1: control characters"},
    };
    for (const auto& c : cases) {
        TSurfaceProfile p = GenericProfile();
        EXPECT_EQ(ParseSurfaceProfile(c.text, p), c.error) << c.text;
        EXPECT_EQ(p, GenericProfile()) << "a refused file changed the profile: " << c.text;
    }
}

TEST(SurfaceProfile, RefusesOversizedInput) {
    TSurfaceProfile p;
    EXPECT_EQ(ParseSurfaceProfile(std::string(MAX_PROFILE_BYTES + 1, '#'), p),
              "the file is larger than 64 KiB");
    EXPECT_EQ(ParseSurfaceProfile("# " + std::string(300, 'x') + "\n", p), "line 1: too long");
}

TEST(SurfaceProfile, LearningAFaderReplacesItsOldControlAndAnyUserOfTheAddress) {
    TSurfaceProfile p = GenericProfile();
    // CC 5 was fader 6's; it becomes fader 1's, and fader 6 has none.
    ASSERT_TRUE(AssignFader(p, 1, {TMidiKind::Cc, 0, 5, 0}));
    int faders = 0;
    for (const auto& c : p.Controls)
        if (c.Role == TControlRole::Fader) {
            ++faders;
            EXPECT_NE(c.Index, 6);
            if (c.Index == 1) EXPECT_EQ(c.Address.Number, 5);
        }
    EXPECT_EQ(faders, 31);
    TSurfaceProfile back;
    ASSERT_EQ(ParseSurfaceProfile(FormatSurfaceProfile(p), back), "");
    EXPECT_FALSE(AssignFader(p, 1, {TMidiKind::Note, 0, 5, 0}));
    EXPECT_FALSE(AssignFader(p, 33, {TMidiKind::Cc, 0, 5, 0}));
}

TEST(SurfaceProfile, ShippedProfilesReadAndTheGenericFileIsTheBuiltInMap) {
    for (const char* name :
         {"generic.profile", "sixteen-banks.profile", "eight-motorised.profile"}) {
        std::ifstream in(std::string(VANTRELLE_PROFILE_DIR "/") + name);
        ASSERT_TRUE(in) << name;
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        TSurfaceProfile p;
        EXPECT_EQ(ParseSurfaceProfile(text, p), "") << name;
        if (std::string(name) == "generic.profile") EXPECT_EQ(p, GenericProfile());
        if (std::string(name) == "eight-motorised.profile") {
            EXPECT_TRUE(p.Motorised);
            EXPECT_EQ(p.Faders, 8);
        }
    }
}
