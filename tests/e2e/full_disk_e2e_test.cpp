// Closing the desk on a full disk: the preferences it had stay whole in
// "Config.dat", byte for byte, and the desk says it could not save them.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "DeskSession.h"
#include "SmallDisk.h"

using namespace std::chrono_literals;

namespace {

// A "Config.dat" holding only the name of the layout to reopen.
QByteArray ConfigNaming(const QString& layout) {
    const QByteArray header = QByteArray("03") + QByteArray(14, '\0');
    QByteArray name("OpenDialog1_FileName");
    name.resize(24, '\0');
    QByteArray section("Software");
    section.resize(64, '\0');
    const QByteArray data = QFile::encodeName(layout) + '\0';
    QByteArray size(4, '\0');
    for (int i = 0; i < 4; ++i)
        size[i] = static_cast<char>(data.size() >> (8 * i));
    return header + "||++" + name + section + '\x01' + size + "||->" + data + header;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A desk session whose program folder is a small disk of its own.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        // Room for the program's copy and a little more.
        const qint64 program = QFileInfo(QStringLiteral(VANTRELLE_BIN_DIR "/vantrelle")).size();
        if (disk.Mount(s.ProgramDir(), program + (4 << 20))) return;
        if (disk.Refused())
            GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.Error().toStdString()
                         << "); run as root to test a full disk";
        FAIL() << disk.Error().toStdString();
    }

    DeskSession s;
    SmallDisk disk; // after the session: unmounted before its folder goes
};

} // namespace

TEST_F(FullDisk, ClosingOnAFullDiskKeepsTheOldConfigDat) {
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
    const QString error = s.WaitForWindow(QStringLiteral("Error"), 10s);
    EXPECT_FALSE(error.isEmpty()) << "no error shown for the failed save";
    if (!error.isEmpty()) s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
    EXPECT_EQ(Bytes(config), before);
    // Nothing of the failed save is left beside it.
    EXPECT_EQ(QDir(s.ProgramDir())
                  .entryList({QStringLiteral("Config.dat.*")}, QDir::Files | QDir::Hidden),
              QStringList());
}

TEST_F(FullDisk, SavingALayoutOnAFullDiskKeepsTheOldLayout) {
    // A layout of distinct bytes, reopened at the start.
    const QString layout = s.ProgramDir() + QStringLiteral("/show.HXI");
    QByteArray before(33800, '\0');
    for (int i = 0; i < 512; ++i)
        before[8 + i] = static_cast<char>(i % 200);
    {
        QFile f(layout);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        QFile c(s.ProgramDir() + QStringLiteral("/Config.dat"));
        const QByteArray config = ConfigNaming(layout);
        ASSERT_TRUE(c.open(QIODevice::WriteOnly) && c.write(config) == config.size());
    }
    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor() && s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03 show.HXI"), 20s);
    ASSERT_FALSE(window.isEmpty()) << "the layout was not reopened";

    ASSERT_TRUE(disk.Fill(0)) << disk.Error().toStdString();
    ASSERT_TRUE(s.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                           QStringLiteral("200"), QStringLiteral("200"), QStringLiteral("click"),
                           QStringLiteral("1")}));
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                           QStringLiteral("alt+f"), QStringLiteral("s")}));
    const QString error = s.WaitForWindow(QStringLiteral("Error"), 10s);
    ASSERT_FALSE(error.isEmpty()) << "no error shown for the failed save";
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    EXPECT_EQ(Bytes(layout), before) << "the old layout was damaged";
    EXPECT_EQ(
        QDir(s.ProgramDir()).entryList({QStringLiteral("show.HXI.*")}, QDir::Files | QDir::Hidden),
        QStringList());
}
