// Saving with the real desk respects what the files are: a read-only layout
// and a read-only "Config.dat" are not written (the desk says why), links are
// written through to the files they name, and preferences beside a program
// in a folder the user cannot write are read, then kept with the user, said
// once. Where permissions matter the desk runs as "nobody" (the tests run as
// root in CI) or, run by anyone else, as that user.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "DeskSession.h"

using namespace std::chrono_literals;

namespace {

constexpr uid_t kNobody = 65534;

// A "Config.dat" holding string entries, in the container layout.
QByteArray Config(const std::vector<std::pair<QByteArray, QByteArray>>& entries) {
    const QByteArray header = QByteArray("03") + QByteArray(14, '\0');
    QByteArray out = header;
    for (const auto& [key, value] : entries) {
        QByteArray name = key;
        name.resize(24, '\0');
        QByteArray section("Software");
        section.resize(64, '\0');
        const QByteArray data = value + '\0';
        QByteArray size(4, '\0');
        for (int i = 0; i < 4; ++i)
            size[i] = static_cast<char>(data.size() >> (8 * i));
        out += "||++" + name + section + '\x01' + size + "||->" + data;
    }
    return out + header;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A layout of distinct bytes whose first word is not the 1 a save writes.
QByteArray Layout() {
    QByteArray bytes(33800, '\0');
    for (int i = 0; i < 512; ++i)
        bytes[8 + i] = static_cast<char>(i % 200);
    return bytes;
}

struct stat LStat(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool Own(const QString& path, uid_t user) {
    return ::geteuid() != 0 || ::lchown(QFile::encodeName(path).constData(), user, user) == 0;
}

// The session's folders, open to the user the desk runs as.
bool OpenFolders(const DeskSession& s) {
    return QDir().mkpath(s.ProgramDir()) &&
           ::chmod(QFile::encodeName(s.WorkDir()).constData(), 0755) == 0 &&
           ::chmod(QFile::encodeName(s.ProgramDir()).constData(), 0755) == 0;
}

// As root: the desk runs as "nobody", with a runtime folder of its own (no
// host there to find), and its configuration folder is made open to it.
bool RunAsOrdinaryUser(DeskSession& s) {
    const QString config = s.WorkDir() + QStringLiteral("/config");
    if (!QDir().mkpath(config) || ::chmod(QFile::encodeName(config).constData(), 0777) != 0)
        return false;
    if (::geteuid() != 0) return true;
    const QString runtime = s.WorkDir() + QStringLiteral("/nobody-runtime");
    if (!QDir().mkpath(runtime) || !Own(runtime, kNobody) ||
        ::chmod(QFile::encodeName(runtime).constData(), 0700) != 0)
        return false;
    s.SetDeskLauncher({QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(kNobody),
                       QStringLiteral("--regid=%1").arg(kNobody), QStringLiteral("--clear-groups"),
                       QStringLiteral("env"), QStringLiteral("XDG_RUNTIME_DIR=") + runtime});
    return true;
}

// Alt+F and a letter of the File menu, after a click into the window.
bool FileMenu(DeskSession& s, const QString& window, const QString& letter) {
    return s.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                      QStringLiteral("200"), QStringLiteral("200"), QStringLiteral("click"),
                      QStringLiteral("1")}) &&
           s.Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                      QStringLiteral("alt+f"), letter});
}

} // namespace

TEST(FileRights, AReadOnlyLayoutAndConfigDatAreNotWritten) {
    DeskSession s;
    ASSERT_TRUE(OpenFolders(s) && RunAsOrdinaryUser(s));
    const QString layout = s.ProgramDir() + QStringLiteral("/show.HXI");
    const QString config = s.ProgramDir() + QStringLiteral("/Config.dat");
    const QByteArray configBytes = Config({{"OpenDialog1_FileName", QFile::encodeName(layout)}});
    ASSERT_TRUE(Put(layout, Layout()) && Put(config, configBytes));
    for (const QString& path : {s.ProgramDir(), layout, config})
        ASSERT_TRUE(Own(path, kNobody));
    ASSERT_EQ(::chmod(QFile::encodeName(layout).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(config).constData(), 0444), 0);

    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor() && s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03 show.HXI"), 20s);
    ASSERT_FALSE(window.isEmpty()) << "the read-only layout was not opened";

    // File > Save: refused with the system's reason.
    ASSERT_TRUE(FileMenu(s, window, QStringLiteral("s")));
    QString error = s.WaitForWindow(QStringLiteral("Error"), 10s);
    ASSERT_FALSE(error.isEmpty()) << "no error shown for the refused save";
    ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    EXPECT_EQ(Bytes(layout), Layout());
    EXPECT_EQ(LStat(layout).st_mode & 07777, 0444u);

    // Closing cannot write the read-only preferences either, and says so.
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    error = s.WaitForWindow(QStringLiteral("Error"), 10s);
    EXPECT_FALSE(error.isEmpty()) << "no error shown for the refused preferences";
    if (!error.isEmpty()) s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
    EXPECT_EQ(Bytes(config), configBytes);
    EXPECT_EQ(LStat(config).st_mode & 07777, 0444u);
    EXPECT_EQ(QDir(s.ProgramDir())
                  .entryList({QStringLiteral("*.~vantrelle~part~*")}, QDir::Files | QDir::Hidden),
              QStringList())
        << "nothing left over";
}

TEST(FileRights, LinksAreWrittenThroughToTheSharedFiles) {
    DeskSession s;
    ASSERT_TRUE(QDir().mkpath(s.ProgramDir()));
    const QString shared = s.WorkDir() + QStringLiteral("/shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    const QString layoutLink = s.ProgramDir() + QStringLiteral("/show.HXI");
    const QString configLink = s.ProgramDir() + QStringLiteral("/Config.dat");
    const QString layout = shared + QStringLiteral("/show.HXI");
    const QString config = shared + QStringLiteral("/Config.dat");
    ASSERT_TRUE(Put(layout, Layout()));
    ASSERT_TRUE(Put(config, Config({{"OpenDialog1_FileName", QFile::encodeName(layoutLink)}})));
    ASSERT_EQ(::symlink("../shared/show.HXI", QFile::encodeName(layoutLink).constData()), 0);
    ASSERT_EQ(::symlink("../shared/Config.dat", QFile::encodeName(configLink).constData()), 0);

    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor() && s.StartDesk()) << s.Error().toStdString();
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03 show.HXI"), 20s);
    ASSERT_FALSE(window.isEmpty()) << "the linked layout was not opened";
    ASSERT_TRUE(FileMenu(s, window, QStringLiteral("s")));
    // The save marks the image: the shared file takes it.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (Bytes(layout).left(4) != QByteArray("\x01\x00\x00\x00", 4) &&
           std::chrono::steady_clock::now() < deadline)
        QThread::msleep(50);
    EXPECT_EQ(Bytes(layout).left(4), QByteArray("\x01\x00\x00\x00", 4));
    // (Its levels are the ones the desk started with: none, as the
    // preferences do not keep them.)
    EXPECT_EQ(Bytes(layout).size(), 33800);

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(10s), 0);
    EXPECT_TRUE(S_ISLNK(LStat(layoutLink).st_mode)) << "the layout's link became a file";
    EXPECT_TRUE(S_ISLNK(LStat(configLink).st_mode)) << "the preferences' link became a file";
    EXPECT_TRUE(Bytes(config).contains("M_StayOnTop_Checked"))
        << "the preferences went to the shared file";
    EXPECT_EQ(QDir(shared).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(FileRights, PreferencesBesideAReadOnlyProgramAreReadThenKeptWithTheUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the program's folder must be another user's";
    DeskSession s;
    ASSERT_TRUE(OpenFolders(s) && RunAsOrdinaryUser(s));
    const QString elsewhere = s.WorkDir() + QStringLiteral("/shows");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString layout = elsewhere + QStringLiteral("/show.HXI");
    ASSERT_TRUE(Put(layout, Layout()));
    const QString config = s.ProgramDir() + QStringLiteral("/Config.dat");
    const QByteArray configBytes = Config(
        {{"M_Displayvalueasdigit_C", "True"}, {"OpenDialog1_FileName", QFile::encodeName(layout)}});
    ASSERT_TRUE(Put(config, configBytes));
    // Root's program folder: the desk's user can read it, not write it.
    ASSERT_EQ(::chmod(QFile::encodeName(s.ProgramDir()).constData(), 0555), 0);
    const QString usersFile = s.WorkDir() + QStringLiteral("/config/vantrelle/Config.dat");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        if (run == 0) ASSERT_TRUE(s.StartDisplay() && s.StartMonitor()) << s.Error().toStdString();
        ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
        const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03 show.HXI"), 20s);
        ASSERT_FALSE(window.isEmpty()) << "the preferences beside the program were not read";
        ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
        const QString notice = s.WaitForWindow(QStringLiteral("Information"), run == 0 ? 10s : 3s);
        if (run == 0) {
            ASSERT_FALSE(notice.isEmpty()) << "where the preferences now go was not said";
            ASSERT_TRUE(s.Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
        } else {
            EXPECT_TRUE(notice.isEmpty()) << "said more than once";
        }
        ASSERT_EQ(s.WaitForDeskExit(10s), 0);
        const QByteArray kept = Bytes(usersFile);
        EXPECT_TRUE(kept.contains(QFile::encodeName(layout))) << "the layout's name was not kept";
        EXPECT_TRUE(kept.contains("M_Displayvalueasdigit_C")) << kept.size();
        // The second run reads the user's file; removing the program's one
        // shows it.
        if (run == 0) {
            EXPECT_EQ(Bytes(config), configBytes) << "the program's preferences were changed";
            ASSERT_EQ(::chmod(QFile::encodeName(s.ProgramDir()).constData(), 0755), 0);
            ASSERT_TRUE(QFile::remove(config));
            ASSERT_EQ(::chmod(QFile::encodeName(s.ProgramDir()).constData(), 0555), 0);
        }
    }
    ::chmod(QFile::encodeName(s.ProgramDir()).constData(), 0755);
}
