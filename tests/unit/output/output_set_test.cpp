// Which outputs a change of settings restarts: only those it touches, so a
// receiver never sees an untouched stream drop and come back.

#include "output/OutputSet.h"

#include <gtest/gtest.h>

namespace {

TOutputSettings AllOn() {
    TOutputSettings s;
    s.cid = "0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0";
    s.sacn.enabled = true;
    s.artnet.enabled = true;
    s.ola.enabled = true;
    return s;
}

using TKinds = std::vector<TOutputKind>;

TEST(ChangedOutputs, NothingChangedRestartsNothing) {
    EXPECT_EQ(ChangedOutputs(AllOn(), AllOn()), TKinds{});
    EXPECT_EQ(ChangedOutputs(TOutputSettings{}, TOutputSettings{}), TKinds{});
}

TEST(ChangedOutputs, EachSettingRestartsOnlyItsOwnOutput) {
    struct TCase {
        const char* what;
        void (*change)(TOutputSettings&);
        TKinds restarted;
    };
    const TCase cases[] = {
        {"sACN universe", [](TOutputSettings& s) { s.sacn.universe = 2; }, {TOutputKind::Sacn}},
        {"sACN address",
         [](TOutputSettings& s) { s.sacn.address = "127.0.0.1"; },
         {TOutputKind::Sacn}},
        {"sACN priority", [](TOutputSettings& s) { s.sacn.priority = 150; }, {TOutputKind::Sacn}},
        {"sACN name", [](TOutputSettings& s) { s.sacn.sourceName = "Other"; }, {TOutputKind::Sacn}},
        {"CID",
         [](TOutputSettings& s) { s.cid = "00000000-0000-4000-8000-000000000001"; },
         {TOutputKind::Sacn}},
        {"Art-Net universe",
         [](TOutputSettings& s) { s.artnet.universe = 3; },
         {TOutputKind::ArtNet}},
        {"Art-Net address",
         [](TOutputSettings& s) { s.artnet.address = "192.0.2.255"; },
         {TOutputKind::ArtNet}},
        {"Art-Net listening",
         [](TOutputSettings& s) { s.artnet.listen = false; },
         {TOutputKind::ArtNet}},
        {"OLA universe", [](TOutputSettings& s) { s.ola.universe = 9; }, {TOutputKind::Ola}},
        {"olad port", [](TOutputSettings& s) { s.ola.port = 9011; }, {TOutputKind::Ola}},
        {"sACN off", [](TOutputSettings& s) { s.sacn.enabled = false; }, {TOutputKind::Sacn}},
        {"host link", [](TOutputSettings& s) { s.hostLink = false; }, {}},
        {"rate",
         [](TOutputSettings& s) { s.rate = 30; },
         {TOutputKind::Sacn, TOutputKind::ArtNet, TOutputKind::Ola}},
    };
    for (const TCase& c : cases) {
        TOutputSettings after = AllOn();
        c.change(after);
        EXPECT_EQ(ChangedOutputs(AllOn(), after), c.restarted) << c.what;
    }
}

TEST(ChangedOutputs, SettingsOfAnOutputThatIsOffRestartNothing) {
    TOutputSettings before;
    TOutputSettings after;
    after.sacn.universe = 7;
    after.artnet.net = 3;
    EXPECT_EQ(ChangedOutputs(before, after), TKinds{});
}

TEST(ChangedOutputs, SettingsThatCannotWorkTurnEveryOutputOff) {
    TOutputSettings broken = AllOn();
    broken.rate = 0;
    EXPECT_EQ(ChangedOutputs(AllOn(), broken),
              (TKinds{TOutputKind::Sacn, TOutputKind::ArtNet, TOutputKind::Ola}));
    EXPECT_TRUE(MakeOutputs(broken).empty());
}

} // namespace
