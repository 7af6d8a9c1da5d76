// MIDI messages to controls and back, through a profile.

#include <vector>

#include <gtest/gtest.h>

#include "surfaces/MidiCodec.h"
#include "surfaces/ValueScale.h"

namespace {

TSurfaceProfile Mixed() {
    TSurfaceProfile p;
    TSurfaceProfile parsed;
    EXPECT_EQ(ParseSurfaceProfile("faders 8\n"
                                  "fader 1 cc 1 7\n"
                                  "fader 2 cc14 1 1 33\n"
                                  "fader 3 pitchbend 3\n"
                                  "bump 1 note 1 10\n"
                                  "bump 2 cc 2 20\n"
                                  "page 4 program 1 3\n"
                                  "bank-right note 1 47\n",
                                  parsed),
              "");
    return parsed;
}

std::optional<TSurfaceInput> Decode(TMidiCodec& codec, std::vector<std::uint8_t> bytes) {
    return codec.Decode(bytes.data(), bytes.size());
}

} // namespace

TEST(MidiCodec, DecodesFadersInTheirResolution) {
    TMidiCodec codec(Mixed());
    auto in = Decode(codec, {0xB0, 7, 100});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Role, TControlRole::Fader);
    EXPECT_EQ(in->Index, 1);
    EXPECT_EQ(in->Value, 100);
    EXPECT_EQ(in->Max, 127);

    in = Decode(codec, {0xE2, 0x7F, 0x7F});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Index, 3);
    EXPECT_EQ(in->Value, 16383);
    EXPECT_EQ(in->Max, 16383);
    EXPECT_EQ(Decode(codec, {0xE2, 0x01, 0x02})->Value, 2 * 128 + 1);
}

TEST(MidiCodec, FourteenBitMsbResetsTheFinePartAndLsbRefinesIt) {
    TMidiCodec codec(Mixed());
    EXPECT_EQ(Decode(codec, {0xB0, 1, 64})->Value, 64 << 7);
    EXPECT_EQ(Decode(codec, {0xB0, 33, 5})->Value, (64 << 7) | 5);
    EXPECT_EQ(Decode(codec, {0xB0, 33, 6})->Value, (64 << 7) | 6);
    EXPECT_EQ(Decode(codec, {0xB0, 1, 10})->Value, 10 << 7);
}

TEST(MidiCodec, DecodesButtonsPressAndRelease) {
    TMidiCodec codec(Mixed());
    auto in = Decode(codec, {0x90, 10, 100});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Role, TControlRole::Bump);
    EXPECT_TRUE(in->Pressed);
    EXPECT_FALSE(Decode(codec, {0x90, 10, 0})->Pressed); // note on, velocity 0
    EXPECT_FALSE(Decode(codec, {0x80, 10, 64})->Pressed);
    EXPECT_TRUE(Decode(codec, {0xB1, 20, 64})->Pressed);
    EXPECT_FALSE(Decode(codec, {0xB1, 20, 63})->Pressed);
    in = Decode(codec, {0xC0, 3});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Role, TControlRole::Page);
    EXPECT_EQ(in->Index, 4);
    EXPECT_EQ(Decode(codec, {0x90, 47, 127})->Role, TControlRole::BankRight);
}

TEST(MidiCodec, IgnoresOtherAndMalformedMessages) {
    TMidiCodec codec(Mixed());
    const std::vector<std::vector<std::uint8_t>> junk = {
        {},           {0xB0},       {0xB0, 7},       {0xB1, 7, 1}, // other channel
        {0xB0, 8, 1}, {0x07, 7, 1}, {0xB0, 0x87, 1}, {0xB0, 7, 0x80}, {0xF0, 1, 2}, {0xA0, 10, 1},
        {0xE0, 1, 1}, {0xC0},       {0xD0, 5},       {0xC0, 0x83},
    };
    for (const auto& bytes : junk)
        EXPECT_FALSE(Decode(codec, bytes)) << bytes.size();
    EXPECT_FALSE(codec.Decode(nullptr, 3));
}

TEST(MidiCodec, FeedbackMessagesMirrorTheInput) {
    TMidiCodec codec(Mixed());
    EXPECT_EQ(codec.FaderMessage(1, 127), (TMidiBytes{0xB0, 7, 127}));
    EXPECT_EQ(codec.FaderMessage(2, (64 << 7) | 5), (TMidiBytes{0xB0, 1, 64, 0xB0, 33, 5}));
    EXPECT_EQ(codec.FaderMessage(3, 16383), (TMidiBytes{0xE2, 0x7F, 0x7F}));
    EXPECT_EQ(codec.FaderMessage(4, 1), TMidiBytes{});
    EXPECT_EQ(codec.BumpMessage(1, true), (TMidiBytes{0x90, 10, 127}));
    EXPECT_EQ(codec.BumpMessage(2, false), (TMidiBytes{0xB1, 20, 0}));
    EXPECT_EQ(codec.PageMessage(4, true), TMidiBytes{}); // a program change has no light
    EXPECT_EQ(codec.FaderMax(2), 16383);
    EXPECT_EQ(codec.FaderMax(5), 0);
}

TEST(MidiCodec, FourteenBitFeedbackDecodesToTheSameLevel) {
    // level -> feedback -> the surface sends it back -> the same level
    TMidiCodec codec(Mixed());
    for (int level = 0; level <= 255; ++level) {
        const TMidiBytes out = codec.FaderMessage(2, ValueFromLevel(level, MIDI_14BIT_MAX));
        ASSERT_EQ(out.size(), 6u);
        Decode(codec, {out[0], out[1], out[2]});
        const auto in = Decode(codec, {out[3], out[4], out[5]});
        EXPECT_EQ(LevelFromValue(in->Value, in->Max), level);
        const TMidiBytes bend = codec.FaderMessage(3, ValueFromLevel(level, MIDI_14BIT_MAX));
        const auto back = Decode(codec, bend);
        EXPECT_EQ(LevelFromValue(back->Value, back->Max), level);
    }
}

TEST(MidiCodec, LearnTakesOnlyFaderKinds) {
    const std::uint8_t cc[] = {0xB3, 12, 5}, bend[] = {0xE1, 0, 64}, note[] = {0x90, 1, 1};
    EXPECT_EQ(LearnedAddress(cc, 3), (TMidiAddress{TMidiKind::Cc, 3, 12, 0}));
    EXPECT_EQ(LearnedAddress(bend, 3)->Kind, TMidiKind::PitchBend);
    EXPECT_FALSE(LearnedAddress(note, 3));
    EXPECT_FALSE(LearnedAddress(cc, 2));
}
