// Layouts opened from outside the desk: named on its command line, and
// through the file manager's way, the MIME type and the desktop entry in a
// private XDG data folder, asked with xdg-mime and opened with gio.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "DeskSession.h"

using namespace std::chrono_literals;

namespace {

const QString kDeskTitle = QStringLiteral("Vantrelle 4.03");
constexpr qsizetype kLayoutSize = 33800;

// A layout file of the desk's size, all zero (every channel at its defaults).
bool WriteLayout(const QString& path, qsizetype size = kLayoutSize) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, '\0')) == size;
}

// The message box the desk shows for a layout it cannot read: answered with
// OK, as a person would. False when none appeared.
bool AnswerWarning(DeskSession& s) {
    const QString box = s.WaitForWindow(QStringLiteral("Warning"), 20s);
    if (box.isEmpty()) return false;
    s.Xdotool({"mousemove", "--window", box, "10", "10", "click", "1"});
    return s.Xdotool({"key", "Return"}) && s.WaitForWindowGone(QStringLiteral("Warning"), 10s);
}

// Ends the desk showing `title` without saving; true when it has ended.
bool Exit(DeskSession& s, const QString& title) {
    const QString window = s.WaitForWindow(title, 5s);
    return !window.isEmpty() && s.ExitWithoutSavingLayout(window) && s.WaitForDeskExit(10s) == 0;
}

} // namespace

TEST(OpenLayoutEndToEnd, AFileOnTheCommandLineOpensInsteadOfTheLastAndBadOnesAreSaid) {
    DeskSession s;
    const QString work = s.WorkDir();
    const QString show = work + QStringLiteral("/show.hxi"); // the case of the extension is free
    const QString other = work + QStringLiteral("/Other Show.HXI");
    ASSERT_TRUE(WriteLayout(show) && WriteLayout(other));
    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor()) << s.Error().toStdString();

    // The file given, by a path relative to the desk's working folder.
    ASSERT_TRUE(s.StartDesk({QStringLiteral("show.hxi")})) << s.Error().toStdString();
    EXPECT_FALSE(s.WaitForWindow(kDeskTitle + QStringLiteral(" show.hxi"), 20s).isEmpty())
        << "the named layout was not opened";
    ASSERT_TRUE(Exit(s, kDeskTitle + QStringLiteral(" show.hxi"))) << s.Error().toStdString();

    // Remembered as the last layout: a start without a file reopens it.
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    EXPECT_FALSE(s.WaitForWindow(kDeskTitle + QStringLiteral(" show.hxi"), 20s).isEmpty());
    ASSERT_TRUE(Exit(s, kDeskTitle + QStringLiteral(" show.hxi"))) << s.Error().toStdString();

    // Another one, by its full path with a space in its name, comes instead of the last.
    ASSERT_TRUE(s.StartDesk({other})) << s.Error().toStdString();
    EXPECT_FALSE(s.WaitForWindow(kDeskTitle + QStringLiteral(" Other Show.HXI"), 20s).isEmpty());
    ASSERT_TRUE(Exit(s, kDeskTitle + QStringLiteral(" Other Show.HXI"))) << s.Error().toStdString();

    // Files it cannot read: each is said in a box, then the last layout comes.
    const QString shortFile = work + QStringLiteral("/short.HXI");
    ASSERT_TRUE(WriteLayout(shortFile, 100));
    const QString folder = work + QStringLiteral("/folder.HXI");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& bad : {work + QStringLiteral("/missing.HXI"), shortFile, folder}) {
        SCOPED_TRACE(bad.toStdString());
        ASSERT_TRUE(s.StartDesk({bad})) << s.Error().toStdString();
        EXPECT_TRUE(AnswerWarning(s)) << "no message for a layout that cannot be read";
        EXPECT_FALSE(s.WaitForWindow(kDeskTitle + QStringLiteral(" Other Show.HXI"), 20s).isEmpty())
            << "the last layout did not come after the message";
        ASSERT_TRUE(Exit(s, kDeskTitle + QStringLiteral(" Other Show.HXI")))
            << s.Error().toStdString();
    }
    EXPECT_EQ(QFileInfo(shortFile).size(), 100) << "a refused file was written";
}

namespace {

// Runs a program to its end in `env`; its standard output, trimmed, in
// `output`. False (and a test failure) when it failed.
bool RunTool(const QProcessEnvironment& env, const QString& program, const QStringList& args,
             QString* output = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << args.join(' ').toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return false;
    }
    if (output != nullptr) *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return true;
}

// What `program args` prints, or an empty string.
QString Output(const QProcessEnvironment& env, const QString& program, const QStringList& args) {
    QString out;
    RunTool(env, program, args, &out);
    return out;
}

} // namespace

TEST(OpenLayoutEndToEnd, TheFileManagerKnowsLayoutsAndOpensThemWithTheDesk) {
    for (const char* tool : {"gio", "xdg-mime", "update-mime-database", "update-desktop-database"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            << tool << " is not installed";
    DeskSession s;
    ASSERT_TRUE(s.StartDisplay() && s.StartMonitor()) << s.Error().toStdString();
    // The desk's own copy, found on the PATH as the desktop entry's "vantrelle".
    ASSERT_TRUE(s.StartDesk()) << s.Error().toStdString();
    ASSERT_TRUE(Exit(s, kDeskTitle)) << s.Error().toStdString();

    // The files the package installs, in a data folder of this test's own.
    const QString data = s.WorkDir() + QStringLiteral("/data");
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/mime/packages")));
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/applications")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VANTRELLE_DATA_DIR "/vantrelle-layout.xml"),
                            data + QStringLiteral("/mime/packages/vantrelle.xml")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VANTRELLE_DATA_DIR "/vantrelle.desktop"),
                            data + QStringLiteral("/applications/vantrelle.desktop")));
    QProcessEnvironment env = s.Environment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    env.insert(QStringLiteral("PATH"), s.ProgramDir() + QLatin1Char(':') + env.value("PATH"));
    // No desktop's own opener: gio and xdg-mime take the freedesktop.org way.
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    ASSERT_TRUE(RunTool(env, QStringLiteral("update-mime-database"), {data + "/mime"}));
    ASSERT_TRUE(RunTool(env, QStringLiteral("update-desktop-database"), {data + "/applications"}));

    const QString work = s.WorkDir();
    const QString upper = work + QStringLiteral("/FRONT.HXI");
    const QString lower = work + QStringLiteral("/back.hxi");
    ASSERT_TRUE(WriteLayout(upper) && WriteLayout(lower));
    const QString type = QStringLiteral("application/x-vantrelle-layout");
    for (const QString& file : {upper, lower}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(Output(env, QStringLiteral("xdg-mime"), {"query", "filetype", file}), type);
        EXPECT_TRUE(
            Output(env, QStringLiteral("gio"), {"info", "-a", "standard::content-type", file})
                .endsWith(QStringLiteral("standard::content-type: ") + type));
    }
    EXPECT_EQ(Output(env, QStringLiteral("xdg-mime"), {"query", "default", type}),
              QStringLiteral("vantrelle.desktop"));

    // "Open" in the file manager: the desk starts with the file shown.
    QProcess open;
    open.setProcessEnvironment(env);
    open.setWorkingDirectory(work);
    open.start(QStringLiteral("gio"), {QStringLiteral("open"), lower});
    ASSERT_TRUE(open.waitForFinished(30000));
    EXPECT_EQ(open.exitCode(), 0) << open.readAllStandardError().toStdString();
    const QString window = s.WaitForWindow(kDeskTitle + QStringLiteral(" back.hxi"), 30s);
    ASSERT_FALSE(window.isEmpty()) << "the desk did not open the layout";
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_TRUE(s.WaitForWindowGone(kDeskTitle + QStringLiteral(" back.hxi"), 10s));
}
