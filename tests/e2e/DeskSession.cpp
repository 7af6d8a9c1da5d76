#include "DeskSession.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>

#ifndef VANTRELLE_BIN_DIR
#error "VANTRELLE_BIN_DIR must name the folder of the built programs"
#endif

namespace {

using Clock = std::chrono::steady_clock;

void Stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}

} // namespace

DeskSession::DeskSession() {
    xvfb_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desk_.setProcessChannelMode(QProcess::ForwardedChannels);
    monitor_.setReadChannel(QProcess::StandardOutput);
}

DeskSession::~DeskSession() {
    Stop(desk_);
    Stop(other_);
    Stop(monitor_);
    Stop(wm_);
    Stop(xvfb_);
}

QProcessEnvironment DeskSession::Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work_.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool DeskSession::StartDisplay() {
    // Xvfb picks a free display itself and writes its number to the pipe.
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = QStringLiteral("pipe failed");
        return false;
    }
    xvfb_.setProgram(QStringLiteral("Xvfb"));
    // -noreset: otherwise the server resets when its last client leaves, and
    // a desk started again during that reset cannot connect.
    xvfb_.setArguments({QStringLiteral("-displayfd"), QString::number(fds[1]),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
    xvfb_.setChildProcessModifier([fd = fds[0]] { ::close(fd); });
    xvfb_.start();
    ::close(fds[1]);
    if (!xvfb_.waitForStarted(5000)) {
        ::close(fds[0]);
        error_ = QStringLiteral("Xvfb did not start");
        return false;
    }
    QByteArray number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number.append(c);
    ::close(fds[0]);
    if (number.isEmpty()) {
        error_ = QStringLiteral("Xvfb gave no display number");
        return false;
    }
    display_ = QStringLiteral(":") + QString::fromLatin1(number);
    return !windowManager_ || StartWindowManager();
}

bool DeskSession::StartWindowManager() {
    wm_.setProcessEnvironment(Environment());
    wm_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    wm_.setStandardOutputFile(QProcess::nullDevice());
    wm_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!wm_.waitForStarted(5000)) {
        error_ = QStringLiteral("openbox did not start");
        return false;
    }
    // It manages windows once it has named itself on the root window.
    // Generous: the machine may be busy with builds.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline && wm_.state() == QProcess::Running) {
        QString out;
        if (Xprop({QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &out) &&
            out.contains(QStringLiteral("window id")))
            return true;
        QThread::msleep(50);
    }
    error_ = QStringLiteral("openbox did not take over display %1 (%2)")
                 .arg(display_, wm_.state() == QProcess::NotRunning
                                    ? QStringLiteral("it ended with %1").arg(wm_.exitCode())
                                    : QStringLiteral("still running"));
    return false;
}

bool DeskSession::StartMonitor(const QStringList& extraArgs) {
    return StartHost(QStringLiteral(VANTRELLE_BIN_DIR "/vantrelle-monitor"),
                     QStringList{QStringLiteral("--json")} + extraArgs);
}

bool DeskSession::StartHost(const QString& program, const QStringList& args) {
    monitor_.setProcessEnvironment(Environment());
    monitor_.start(program, args);
    if (!monitor_.waitForStarted(5000)) {
        error_ = QStringLiteral("monitor did not start");
        return false;
    }
    // Ready once its socket is there.
    const QString socket = runtime_.path() + QStringLiteral("/THXMainForm");
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!QFile::exists(socket)) {
        if (Clock::now() > deadline || monitor_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("monitor did not listen");
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

void DeskSession::StopHost() {
    monitorOutput_ += monitor_.readAllStandardOutput();
    Stop(monitor_);
    monitorOutput_ += monitor_.readAllStandardOutput();
}

bool DeskSession::StartDesk(const QStringList& args) {
    desk_.setProcessEnvironment(Environment());
    // The desk keeps its files beside the program, so each session runs its
    // own copy from a private folder.
    const QString programDir = work_.path() + QStringLiteral("/program");
    const QString program = programDir + QStringLiteral("/vantrelle");
    if (!QFile::exists(program)) {
        QDir().mkpath(programDir);
        for (const QString& name : QDir(QStringLiteral(VANTRELLE_BIN_DIR)).entryList(QDir::Files)) {
            if (name == QStringLiteral("vantrelle") || !name.contains(QLatin1Char('.')))
                continue; // other programs stay where they are
            if (name == QStringLiteral("Config.dat"))
                continue; // preferences belong to a run, not to the program
            QFile::copy(QStringLiteral(VANTRELLE_BIN_DIR "/") + name, programDir + '/' + name);
        }
        if (!QFile::copy(QStringLiteral(VANTRELLE_BIN_DIR "/vantrelle"), program)) {
            error_ = QStringLiteral("cannot copy the desk program");
            return false;
        }
    }
    desk_.setWorkingDirectory(work_.path());
    if (captureDeskOutput_) desk_.setProcessChannelMode(QProcess::MergedChannels);
    if (launcher_.isEmpty())
        desk_.start(program, args);
    else
        desk_.start(launcher_.constFirst(), launcher_.mid(1) + QStringList{program} + args);
    if (!desk_.waitForStarted(5000)) {
        error_ = QStringLiteral("desk did not start");
        return false;
    }
    return true;
}

QByteArray DeskSession::DeskOutput() {
    deskOutput_ += desk_.readAllStandardOutput();
    return deskOutput_;
}

QString DeskSession::StartAll() {
    if (!StartDisplay() || !StartMonitor() || !StartDesk()) return {};
    QString window = WaitForWindow(QStringLiteral("Vantrelle 4.03"), std::chrono::seconds(20));
    if (window.isEmpty()) {
        QString names;
        Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), QStringLiteral("."), QStringLiteral("getwindowname"),
                 QStringLiteral("%@")},
                &names);
        error_ = QStringLiteral("the desk window did not appear; shown: ") + names +
                 (desk_.state() == QProcess::NotRunning ? QStringLiteral("; the desk has ended")
                                                        : QString());
    }
    return window;
}

bool DeskSession::Run(const QString& program, const QStringList& args, QString* output) {
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(program, args);
    if (!p.waitForFinished(10000)) return false;
    if (output != nullptr) *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool DeskSession::Xdotool(const QStringList& args, QString* output) {
    return Run(QStringLiteral("xdotool"), args, output);
}

bool DeskSession::Xprop(const QStringList& args, QString* output) {
    return Run(QStringLiteral("xprop"), args, output);
}

QStringList DeskSession::NetWmState(const QString& window) {
    QString out;
    if (!Xprop({QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")}, &out)) return {};
    // "_NET_WM_STATE(ATOM) = _NET_WM_STATE_ABOVE, _NET_WM_STATE_FOCUSED"
    const qsizetype eq = out.indexOf(QStringLiteral(" = "));
    if (eq < 0) return {};
    QStringList atoms;
    for (const QString& a : out.mid(eq + 3).split(QLatin1Char(','), Qt::SkipEmptyParts))
        atoms << a.trimmed();
    return atoms;
}

bool DeskSession::WaitForNetWmState(const QString& window,
                                    const std::function<bool(const QStringList&)>& pred,
                                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    do {
        if (pred(NetWmState(window))) return true;
        QThread::msleep(20);
    } while (Clock::now() < deadline);
    return false;
}

QString DeskSession::FocusedWindow() {
    QString out;
    Xdotool({QStringLiteral("getwindowfocus"), QStringLiteral("-f")}, &out);
    return out;
}

QString DeskSession::FrameOf(const QString& window) {
    QString current = window;
    for (int depth = 0; depth < 8; ++depth) {
        QString out;
        if (!Run(QStringLiteral("xwininfo"),
                 {QStringLiteral("-tree"), QStringLiteral("-id"), current}, &out))
            return {};
        const auto idAfter = [&out](const QString& label) {
            const qsizetype at = out.indexOf(label);
            return at < 0 ? QString() : out.mid(at + label.size()).section(QLatin1Char(' '), 0, 0);
        };
        const QString root = idAfter(QStringLiteral("Root window id: "));
        const QString parent = idAfter(QStringLiteral("Parent window id: "));
        if (parent.isEmpty() || root.isEmpty()) return {};
        if (parent == root) return current;
        current = parent;
    }
    return {};
}

bool DeskSession::ScreenPosition(const QString& window, QPoint* at) {
    QString out;
    if (!Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}, &out)) return false;
    const auto field = [&out](const QString& label, bool* ok) {
        const qsizetype i = out.indexOf(label);
        if (i < 0) {
            *ok = false;
            return 0;
        }
        return out.mid(i + label.size()).section(QLatin1Char('\n'), 0, 0).trimmed().toInt(ok);
    };
    bool okX = false, okY = false;
    const int x = field(QStringLiteral("Absolute upper-left X:"), &okX);
    const int y = field(QStringLiteral("Absolute upper-left Y:"), &okY);
    if (!okX || !okY) return false;
    *at = QPoint(x, y);
    return true;
}

bool DeskSession::WaitForWindowGone(const QString& title, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    do {
        QString out;
        Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"),
                 QStringLiteral("^") + QRegularExpression::escape(title) + QStringLiteral("$")},
                &out);
        if (out.isEmpty()) return true;
        QThread::msleep(50);
    } while (Clock::now() < deadline);
    return false;
}

bool DeskSession::ExitWithoutSavingLayout(const QString& window) {
    // Focus follows the pointer: click into the window before typing.
    if (!Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                  QStringLiteral("200"), QStringLiteral("200"), QStringLiteral("click"),
                  QStringLiteral("1")}) ||
        !Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                  QStringLiteral("alt+f"), QStringLiteral("x")})) {
        error_ = QStringLiteral("xdotool failed");
        return false;
    }
    if (WaitForWindow(QStringLiteral("Warning"), std::chrono::seconds(10)).isEmpty()) {
        error_ = QStringLiteral("the save question did not appear");
        return false;
    }
    return Xdotool({QStringLiteral("key"), QStringLiteral("alt+n")});
}

QString DeskSession::WaitForWindow(const QString& title, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        QString out;
        if (Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"),
                     QStringLiteral("^") + QRegularExpression::escape(title) + QStringLiteral("$")},
                    &out) &&
            !out.isEmpty())
            return out.split(QLatin1Char('\n')).constFirst();
        QThread::msleep(50);
    }
    return {};
}

QString DeskSession::OpenOtherWindow(const QString& title) {
    other_.setProcessEnvironment(Environment());
    other_.setStandardOutputFile(QProcess::nullDevice());
    other_.setStandardErrorFile(QProcess::nullDevice()); // its font-set warnings
    other_.start(QStringLiteral("xmessage"),
                 {QStringLiteral("-geometry"), QStringLiteral("+1100+900"),
                  QStringLiteral("-title"), title, title});
    if (!other_.waitForStarted(5000)) {
        error_ = QStringLiteral("xmessage did not start");
        return {};
    }
    const QString window = WaitForWindow(title, std::chrono::seconds(10));
    if (window.isEmpty()) error_ = QStringLiteral("the other window did not appear");
    return window;
}

bool DeskSession::FocusWindow(const QString& window, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    do {
        // The window manager decides about activation; without one the focus is set directly.
        Xdotool({windowManager_ ? QStringLiteral("windowactivate") : QStringLiteral("windowfocus"),
                 window});
        if (FocusedWindow() == window) return true;
        QThread::msleep(50);
    } while (Clock::now() < deadline);
    error_ = QStringLiteral("the window did not take the focus");
    return false;
}

std::vector<QJsonObject> DeskSession::Messages() {
    monitorOutput_ += monitor_.readAllStandardOutput();
    // Only the lines that came since the last call are parsed: a stressed
    // host prints tens of thousands.
    const qsizetype end = monitorOutput_.lastIndexOf('\n') + 1;
    for (const QByteArray& line : monitorOutput_.mid(parsedUpTo_, end - parsedUpTo_).split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject()) parsed_.push_back(doc.object());
    }
    parsedUpTo_ = std::max(parsedUpTo_, end);
    return parsed_;
}

bool DeskSession::WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (Messages().size() >= count) return true;
        monitor_.waitForReadyRead(50);
    }
    return Messages().size() >= count;
}

int DeskSession::WaitForDeskExit(std::chrono::milliseconds timeout) {
    if (!desk_.waitForFinished(static_cast<int>(timeout.count()))) return -1;
    return desk_.exitStatus() == QProcess::NormalExit ? desk_.exitCode() : -1;
}
