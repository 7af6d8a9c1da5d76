// Keys typed into the real desk reach the reference host while forwarding is on.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"

using namespace std::chrono_literals;
using namespace deskframes;

namespace {

struct Key {
    int msg;
    int wParam;
    qint64 lParam;
};

std::vector<Key> PostedKeys(DeskSession& s) {
    std::vector<Key> out;
    for (const QJsonObject& m : s.Messages())
        if (!m.value(QStringLiteral("sent")).toBool())
            out.push_back({Msg(m), WParam(m), LParam(m)});
    return out;
}

} // namespace

TEST(KeysEndToEnd, ShiftAReachesTheHostWithShiftFoldedIn) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));

    // Preferences > Pass Keypresses To Halvex.
    ASSERT_TRUE(s.Xdotool({"mousemove", "--window", window, "300", "300", "click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "100", "alt+p", "p"}));
    const std::size_t before = s.Messages().size();

    ASSERT_TRUE(s.Xdotool({"keydown", "shift"}));
    ASSERT_TRUE(s.Xdotool({"keydown", "a"}));
    ASSERT_TRUE(s.Xdotool({"keyup", "a"}));
    ASSERT_TRUE(s.Xdotool({"keyup", "shift"}));
    ASSERT_TRUE(s.WaitForMessages(before + 4, 10s));

    const std::vector<Key> keys = PostedKeys(s);
    ASSERT_GE(keys.size(), 4u);
    const Key* last = &keys[keys.size() - 4];
    EXPECT_EQ(last[0].msg, 0x100);
    EXPECT_EQ(last[0].wParam, 0x110) << "Shift down carries Shift";
    EXPECT_EQ(last[1].msg, 0x100);
    EXPECT_EQ(last[1].wParam, 0x141);
    EXPECT_EQ(last[1].lParam, 0x001E0001) << "scan code of A from the key's position";
    EXPECT_EQ(last[2].msg, 0x101);
    EXPECT_EQ(last[2].wParam, 0x141) << "Shift still held";
    EXPECT_EQ(last[2].lParam, 0xC01E0001);
    EXPECT_EQ(last[3].msg, 0x101);
    EXPECT_EQ(last[3].wParam, 0x10) << "Shift is no longer held at its own release";
}
