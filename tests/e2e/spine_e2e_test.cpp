// The real desk on a virtual display, fed to the reference host.

#include <QCoreApplication>
#include <QJsonArray>
#include <gtest/gtest.h>

#include "DeskFrames.h"
#include "DeskSession.h"

using namespace std::chrono_literals;
using deskframes::AllLevelsAre;

TEST(SpineEndToEnd, FirstShowSendsTwoFramesOfZerosAndExitAsksToSave) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();

    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    const auto messages = s.Messages();
    for (int i = 0; i < 2; ++i) {
        const QJsonObject& m = messages[static_cast<std::size_t>(i)];
        EXPECT_EQ(m.value(QStringLiteral("msg")).toInt(), 0x4A);
        EXPECT_EQ(m.value(QStringLiteral("wParam")).toInt(), 0);
        EXPECT_EQ(m.value(QStringLiteral("lParam")).toInt(), 256);
        EXPECT_EQ(m.value(QStringLiteral("length")).toInt(), 512);
        EXPECT_TRUE(m.value(QStringLiteral("sent")).toBool());
        EXPECT_TRUE(AllLevelsAre(m, 0)) << "frame " << i << " is not all zeros";
    }

    // File > Exit, then "No" in the save question: the desk ends.
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}
