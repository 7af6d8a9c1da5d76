// The outputs' settings: the strict file format, the checks the dialog and the
// command line share, and a CID that is made once and then kept.

#include "DiskFullAfter.h"
#include "output/Cid.h"
#include "output/OutputSettingsFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vantrelle-output-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

TEST(OutputSettings, DefaultsHaveEveryNetworkOutputOff) {
    const TOutputSettings s;
    EXPECT_TRUE(s.hostLink);
    EXPECT_FALSE(s.sacn.enabled);
    EXPECT_FALSE(s.artnet.enabled);
    EXPECT_FALSE(s.ola.enabled);
    EXPECT_EQ(s.rate, 44);
    EXPECT_EQ(s.sacn.priority, 100);
    EXPECT_EQ(s.sacn.sourceName, "Vantrelle");
    EXPECT_EQ(ValidateSettings(s), "");
}

TEST(OutputSettings, FormatThenParseGivesTheSameSettings) {
    TOutputSettings s;
    s.cid = CidToText(GenerateCid());
    s.rate = 30;
    s.sacn = {true, 63999, "127.0.0.1", 200, "Stage left"};
    s.artnet = {true, 127, 15, 15, "192.0.2.255", false};
    s.ola = {true, 12, 9011};
    TOutputSettings read;
    ASSERT_EQ(ParseOutputSettings(FormatOutputSettings(s), read), "");
    EXPECT_EQ(FormatOutputSettings(read), FormatOutputSettings(s));
}

struct TFileCase {
    const char* name;
    const char* text;
    const char* error; // empty: accepted
};

class SettingsFileParse : public ::testing::TestWithParam<TFileCase> {};

TEST_P(SettingsFileParse, ReadsStrictly) {
    const auto& c = GetParam();
    TOutputSettings s;
    s.rate = 5; // must survive a rejected file untouched
    const std::string error = ParseOutputSettings(c.text, s);
    if (std::string(c.error).empty()) {
        EXPECT_EQ(error, "");
    } else {
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(s.rate, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileParse,
    ::testing::Values(
        TFileCase{"Empty", "", ""}, TFileCase{"CommentsAndBlank", "# x\n\n\r\nrate=20\r\n", ""},
        TFileCase{"UnknownKey", "colour=red\n", "unknown key"},
        TFileCase{"KeyTwice", "rate=1\nrate=2\n", "given twice"},
        TFileCase{"NoEquals", "rate\n", "no '='"},
        TFileCase{"SpaceAroundEquals", "rate = 20\n", "unknown key"},
        TFileCase{"NotANumber", "rate=fast\n", "bad value"},
        TFileCase{"BoolNotZeroOrOne", "sacn.enabled=yes\n", "bad value"},
        TFileCase{"UniverseZero", "sacn.universe=0\n", "between 1 and 63999"},
        TFileCase{"UniverseTooLarge", "sacn.universe=64000\n", "between 1 and 63999"},
        TFileCase{"BadAddress", "sacn.address=256.1.1.1\n", "not an IPv4 address"},
        TFileCase{"OtherUniversesGroup", "sacn.address=239.255.0.2\n", "own multicast group"},
        TFileCase{"OwnGroup", "sacn.address=239.255.0.1\n", ""},
        TFileCase{"PriorityTooHigh", "sacn.priority=201\n", "between 0 and 200"},
        TFileCase{"ArtNetMulticast", "artnet.address=239.1.1.1\n", "unicast or broadcast"},
        TFileCase{"ArtNetLimitedBroadcast", "artnet.address=255.255.255.255\n", "directed"},
        TFileCase{"SacnBroadcast", "sacn.address=255.255.255.255\n", "one receiver"},
        TFileCase{"ArtNetNetTooLarge", "artnet.net=128\n", "between 0 and 127"},
        TFileCase{"BadCid", "cid=not-a-uuid\n", "CID"},
        TFileCase{"ControlByte", "sacn.source_name=a\tb\n", "control characters"},
        TFileCase{"RateZero", "rate=0\n", "between 1 and 1000"},
        TFileCase{"OlaPortZero", "ola.port=0\n", "between 1 and 65535"},
        TFileCase{"OlaUniverseTooLargeForAnyNumber", "ola.universe=99999999999\n",
                  "between 0 and 2147483647"},
        TFileCase{"SacnUnspecifiedAddress", "sacn.address=0.0.0.0\n",
                  "must be a receiver's address, not 0.0.0.0"},
        TFileCase{"ArtNetUnspecifiedAddress", "artnet.address=0.0.0.0\n",
                  "must be a receiver's address, not 0.0.0.0"}),
    [](const auto& info) { return std::string(info.param.name); });

// A refusal names the line and the value as the file has them, so the user
// can find and mend it.
TEST(OutputSettings, ARefusalNamesTheLineAndTheValue) {
    TOutputSettings s;
    EXPECT_EQ(ParseOutputSettings("# outputs\nrate=44\nsacn.universe=70000\n", s),
              "line 3: sacn.universe=70000: The sACN universe must be between 1 and 63999.");
    EXPECT_EQ(ParseOutputSettings("\nsacn.priority=high\n", s),
              "line 2: bad value \"high\" for \"sacn.priority\"");
    EXPECT_EQ(ParseOutputSettings("ola.universe=99999999999\n", s),
              "line 1: ola.universe=99999999999: The OLA universe must be between 0 and "
              "2147483647.");
    EXPECT_EQ(ParseOutputSettings("artnet.address=0.0.0.0\n", s),
              "line 1: artnet.address=0.0.0.0: The Art-Net destination must be a receiver's "
              "address, not 0.0.0.0.");
}

TEST(OutputSettings, ARefusedFileKeepsItsCid) {
    TempDir dir;
    const std::string path = (dir.path / "Outputs.ini").string();
    std::ofstream(path) << "cid=0F1E2D3C-4B5A-4978-8796-A5B4C3D2E1F0\nsacn.enabled=1\n"
                           "sacn.universe=0\n";
    TOutputSettings s;
    s.rate = 5;
    EXPECT_NE(ReadOutputSettings(path, s), "");
    EXPECT_EQ(s.cid, "0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0");
    EXPECT_FALSE(s.sacn.enabled) << "nothing else of a refused file is used";
    EXPECT_EQ(s.rate, TOutputSettings{}.rate);
    EXPECT_EQ(CidOfRefusedSettings("cid=nonsense\n"), "");
    EXPECT_EQ(CidOfRefusedSettings("cid=0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0\n"
                                   "cid=00000000-0000-4000-8000-000000000001\n"),
              "")
        << "of two CIDs neither is sure";
}

TEST(OutputSettings, WholeNumbersTooLargeForAnIntStillReadAsNumbers) {
    int value = 5;
    EXPECT_TRUE(ParseWholeNumber("99999999999", value));
    EXPECT_LT(value, 0) << "held as a value every setting refuses with its range";
    EXPECT_TRUE(ParseWholeNumber("-99999999999", value));
    EXPECT_LT(value, 0);
    EXPECT_TRUE(ParseWholeNumber("2147483647", value));
    EXPECT_EQ(value, 2147483647);
    for (const char* text : {"", "-", "1.5", "+1", " 1", "1e3", "0x10", "١"})
        EXPECT_FALSE(ParseWholeNumber(text, value)) << text;
    TOlaSettings ola;
    EXPECT_EQ(ApplyOlaOption("99999999999", ola), "The OLA universe must be between 0 and "
                                                  "2147483647.");
}

TEST(OutputSettings, OverlongLinesAndFilesAreRefused) {
    TOutputSettings s;
    EXPECT_NE(
        ParseOutputSettings("sacn.source_name=" + std::string(300, 'a') + "\n", s).find("too long"),
        std::string::npos);
    EXPECT_NE(ParseOutputSettings(std::string(MAX_SETTINGS_FILE_BYTES + 1, '#'), s).find("16 KiB"),
              std::string::npos);
}

TEST(OutputSettings, CidIsMadeOnceAndKept) {
    TempDir dir;
    const std::string path = (dir.path / "Outputs.ini").string();
    TOutputSettings first;
    ASSERT_EQ(LoadOutputSettings(path, first), "");
    ASSERT_TRUE(CidFromText(first.cid));
    ASSERT_TRUE(fs::exists(path)) << "the new CID must be written at once";
    TOutputSettings second;
    ASSERT_EQ(LoadOutputSettings(path, second), "");
    EXPECT_EQ(second.cid, first.cid);
}

TEST(OutputSettings, DamagedFileIsReportedAndNotHalfApplied) {
    TempDir dir;
    const std::string path = (dir.path / "Outputs.ini").string();
    std::ofstream(path) << "sacn.enabled=1\nsacn.universe=0\n";
    TOutputSettings s;
    const std::string error = LoadOutputSettings(path, s);
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_NE(error.find("63999"), std::string::npos);
    EXPECT_FALSE(s.sacn.enabled);
}

TEST(OutputSettings, SaveReplacesTheFileWhole) {
    TempDir dir;
    const std::string path = (dir.path / "Outputs.ini").string();
    TOutputSettings s;
    s.cid = CidToText(GenerateCid());
    s.ola.enabled = true;
    ASSERT_EQ(SaveOutputSettings(path, s), "");
    EXPECT_FALSE(fs::exists(path + ".new"));
    TOutputSettings read;
    ASSERT_EQ(LoadOutputSettings(path, read), "");
    EXPECT_TRUE(read.ola.enabled);
    EXPECT_NE(SaveOutputSettings((dir.path / "missing" / "x.ini").string(), s), "");
}

TEST(OutputSettings, AFailureAnywhereInTheFileKeepsTheOldOne) {
    TempDir dir;
    const std::string path = (dir.path / "DmxOutputs.ini").string();
    TOutputSettings s;
    s.cid = CidToText(GenerateCid());
    ASSERT_EQ(SaveOutputSettings(path, s), "");
    std::ifstream in(path, std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)), {});
    s.sacn.enabled = true;
    s.sacn.sourceName = "Front of house";
    const qint64 total = static_cast<qint64>(FormatOutputSettings(s).size());
    for (const qint64 n : FailurePoints(total)) {
        SCOPED_TRACE(n);
        const DiskFullAfter disk(n);
        EXPECT_EQ(SaveOutputSettings(path, s), path + ": cannot write: No space left on device");
        std::ifstream again(path, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
    }
    ASSERT_EQ(SaveOutputSettings(path, s), "");
    TOutputSettings read;
    ASSERT_EQ(LoadOutputSettings(path, read), "");
    EXPECT_TRUE(read.sacn.enabled);
}

struct TOptionCase {
    const char* name;
    const char* text;
    bool ok;
};

class SacnOption : public ::testing::TestWithParam<TOptionCase> {};
TEST_P(SacnOption, Parses) {
    TSacnSettings s;
    const std::string error = ApplySacnOption(GetParam().text, s);
    EXPECT_EQ(error.empty(), GetParam().ok) << error;
    EXPECT_EQ(s.enabled, GetParam().ok);
}
INSTANTIATE_TEST_SUITE_P(Cases, SacnOption,
                         ::testing::Values(TOptionCase{"Universe", "1", true},
                                           TOptionCase{"Unicast", "1@127.0.0.1", true},
                                           TOptionCase{"Max", "63999", true},
                                           TOptionCase{"Zero", "0", false},
                                           TOptionCase{"Word", "one", false},
                                           TOptionCase{"EmptyAddress", "1@", false},
                                           TOptionCase{"HostName", "1@localhost", false},
                                           TOptionCase{"TrailingJunk", "1x", false}),
                         [](const auto& info) { return std::string(info.param.name); });

class ArtNetOption : public ::testing::TestWithParam<TOptionCase> {};
TEST_P(ArtNetOption, Parses) {
    TArtNetSettings s;
    const std::string error = ApplyArtNetOption(GetParam().text, s);
    EXPECT_EQ(error.empty(), GetParam().ok) << error;
}
INSTANTIATE_TEST_SUITE_P(Cases, ArtNetOption,
                         ::testing::Values(TOptionCase{"DefaultAddress", "0:0:1", true},
                                           TOptionCase{"Broadcast", "1:2:3@192.0.2.255", true},
                                           TOptionCase{"Max", "127:15:15@127.0.0.1", true},
                                           TOptionCase{"TwoParts", "0:1", false},
                                           TOptionCase{"FourParts", "0:0:0:1", false},
                                           TOptionCase{"SubNetTooLarge", "0:16:0", false},
                                           TOptionCase{"Multicast", "0:0:1@239.255.0.1", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OlaOption, Parses) {
    TOlaSettings s;
    EXPECT_EQ(ApplyOlaOption("3", s), "");
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.universe, 3);
    TOlaSettings t;
    EXPECT_NE(ApplyOlaOption("x", t), "");
    EXPECT_FALSE(t.enabled);
}

} // namespace
