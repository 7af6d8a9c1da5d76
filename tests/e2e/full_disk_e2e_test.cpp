// Closing the desk on a full disk: the preferences it had stay whole in
// "Config.dat", byte for byte.

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "DeskSession.h"
#include "SmallDisk.h"

using namespace std::chrono_literals;

namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(FullDisk, ClosingOnAFullDiskKeepsTheOldConfigDat) {
    DeskSession s;
    SmallDisk disk; // after the session: unmounted before its folder goes
    // Room for the program's copy and a little more.
    const qint64 program = QFileInfo(QStringLiteral(VANTRELLE_BIN_DIR "/vantrelle")).size();
    if (!disk.Mount(s.ProgramDir(), program + (4 << 20))) {
        if (disk.Refused())
            GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.Error().toStdString()
                         << "); run as root to test a full disk";
        FAIL() << disk.Error().toStdString();
    }
    const QString config = s.ProgramDir() + QStringLiteral("/Config.dat");

    // A first run leaves a complete "Config.dat".
    QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(10s), 0);
    const QByteArray before = Bytes(config);
    ASSERT_GT(before.size(), 100);

    // The second closes with no room left.
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(disk.Fill(0)) << disk.Error().toStdString();
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    s.WaitForDeskExit(10s);
    EXPECT_EQ(Bytes(config), before);
}
