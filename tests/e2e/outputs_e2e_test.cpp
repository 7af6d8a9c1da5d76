// A person drives lights: olad listens for sACN, the desk is started with
// --sacn 1@127.0.0.1, a fader is dragged, and olad holds the level. Desk,
// display and olad all run inside a network namespace the test makes.

#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskSession.h"
#include "Olad.h"
#include "PrivateNetwork.h"

using namespace std::chrono_literals;

namespace {

constexpr int kClientHeight = 561;
constexpr int kPageRow = 41;
constexpr int kColumn = 63;

// Polls olad until channel `channel` of universe 1 satisfies `pred`.
template <typename Pred>
bool WaitForChannel(int channel, Pred pred) {
    QDeadlineTimer deadline(15s);
    while (!deadline.hasExpired()) {
        const auto levels = TOlad::Fetch(1);
        if (levels && pred((*levels)[channel - 1])) return true;
        QThread::msleep(100); // polling step
    }
    return false;
}

} // namespace

TEST(OutputsEndToEnd, FaderDraggedInTheDeskReachesOladOverSacn) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;

    TOlad olad("e131");
    ASSERT_TRUE(olad.Start()) << olad.Error();
    const auto device = olad.WaitForDevice();
    ASSERT_TRUE(device) << olad.Log();
    ASSERT_TRUE(olad.PatchInput(*device, 1));

    DeskSession s;
    ASSERT_TRUE(s.StartDisplay()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartMonitor()) << s.Error().toStdString();
    ASSERT_TRUE(s.StartDesk({QStringLiteral("--sacn"), QStringLiteral("1@127.0.0.1")}))
        << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty()) << "the desk window did not appear";
    // The desk sends its zeros at the first show; olad has universe 1 from it.
    ASSERT_TRUE(WaitForChannel(1, [](int v) { return v == 0; })) << olad.Log();

    QString geometry;
    ASSERT_TRUE(s.Xdotool({"getwindowgeometry", "--shell", window}, &geometry));
    const int height = geometry.section(QStringLiteral("HEIGHT="), 1).section('\n', 0, 0).toInt();
    const int faderTop = height - kClientHeight + kPageRow;
    const auto at = [&](int x, int y) {
        return QStringList{"mousemove", "--window", window, QString::number(x), QString::number(y)};
    };
    // Drag fader 1 from its middle to above its top.
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, faderTop + 105)));
    ASSERT_TRUE(s.Xdotool({"mousedown", "1"}));
    EXPECT_TRUE(WaitForChannel(1, [](int v) { return v > 0 && v < 255; }))
        << "pressing the middle of the track gives olad a middle level";
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, faderTop + 5)));
    ASSERT_TRUE(s.Xdotool(at(kColumn / 2, 2)));
    ASSERT_TRUE(s.Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(WaitForChannel(1, [](int v) { return v == 255; })) << "olad never held 255";
    const auto levels = TOlad::Fetch(1);
    ASSERT_TRUE(levels);
    EXPECT_EQ((*levels)[1], 0) << "only the dragged channel moved";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}
