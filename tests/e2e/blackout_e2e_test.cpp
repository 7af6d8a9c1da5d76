// Blackout on the real desk with an sACN receiver (olad) inside a network
// namespace of the test's own: the network output sends zeros while it is on
// and the levels again after, and the host's frames do not change at all.

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "Olad.h"
#include "PrivateNetwork.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

TEST(BlackoutEndToEnd, TheNetworkOutputGoesDarkAndComesBackWhileTheHostKeepsItsFrames) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;
    TOlad olad("e131");
    ASSERT_TRUE(olad.StartPatched(TOlad::Port::Input, 1)) << olad.Error();

    DeskSession s;
    ASSERT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartDesk({QStringLiteral("--sacn"), QStringLiteral("1@127.0.0.1")}))
        << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty());
    const int faderTop = MenuHeight(s, window) + kPageRow;
    ASSERT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 0; })) << olad.Log();

    ASSERT_TRUE(s.Xdotool(At(window, kColumn / 2, faderTop + 105)));
    ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
    ASSERT_TRUE(s.Xdotool(At(window, kColumn / 2, 2)));
    ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    ASSERT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 255; })) << olad.Log();
    s.WaitForMessages(s.Messages().size() + 1, 500ms);
    const std::size_t hostHad = s.Messages().size();

    ASSERT_TRUE(s.Xdotool({"key", "ctrl+b"}));
    EXPECT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 0; }))
        << "the sACN receiver still holds the level in a blackout";
    ASSERT_TRUE(s.Xdotool({"key", "ctrl+b"}));
    EXPECT_TRUE(WaitForChannel(1, 1, [](int v) { return v == 255; }))
        << "the level did not come back after the blackout";

    s.WaitForMessages(hostHad + 1, 1s);
    const auto messages = s.Messages();
    EXPECT_EQ(messages.size(), hostHad) << "the blackout sent the host a frame";
    EXPECT_EQ(LevelOf(messages.back(), 1), 255);

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

} // namespace
