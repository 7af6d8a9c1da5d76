#pragma once
// Runs the real desk against the reference host on a private virtual display,
// and drives it with xdotool as a person would.

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class DeskSession {
public:
    DeskSession();
    ~DeskSession();

    // Off by default. When on, StartDisplay also starts a window manager
    // (openbox) on the private display and waits until it manages windows.
    void SetWindowManager(bool on) { windowManager_ = on; }
    bool WindowManager() const { return windowManager_; }

    // Each returns false (with Error() saying why) when the piece did not start.
    bool StartDisplay();
    bool StartMonitor(const QStringList& extraArgs = {});
    // Another host program in the monitor's place; it must print the
    // monitor's JSON lines.
    bool StartHost(const QString& program, const QStringList& args);
    bool StartDesk(const QStringList& args = {});
    // Ends the host (SIGTERM) and waits for it; the messages it printed stay.
    void StopHost();
    // Starts the desk through this command line, the desk and its arguments
    // appended (a program that runs it as another user and then executes it,
    // such as setpriv); empty: the desk itself.
    void SetDeskLauncher(const QStringList& launcher) { launcher_ = launcher; }
    // All three, then waits for the desk window; its id, or empty (see Error()).
    QString StartAll();

    // Waits until the window with this exact title is visible; its id or 0.
    QString WaitForWindow(const QString& title, std::chrono::milliseconds timeout);
    // Runs xdotool with the arguments on the session's display.
    bool Xdotool(const QStringList& args, QString* output = nullptr);
    // File > Exit in the desk window, then "No" in the layout question.
    // False (with Error()) when a step did not happen.
    bool ExitWithoutSavingLayout(const QString& window);

    // Runs xprop with the arguments on the session's display.
    bool Xprop(const QStringList& args, QString* output = nullptr);
    // The atoms of the window's _NET_WM_STATE, empty when it has none.
    QStringList NetWmState(const QString& window);
    // Waits until `pred` holds for the window's _NET_WM_STATE.
    bool WaitForNetWmState(const QString& window,
                           const std::function<bool(const QStringList&)>& pred,
                           std::chrono::milliseconds timeout);
    // The window that has the keyboard focus, as xdotool names it.
    QString FocusedWindow();
    // The top-level window that holds `window`: its window manager frame,
    // or the window itself when nothing reparented it.
    QString FrameOf(const QString& window);
    // Position of the window's top-left corner on the screen (xwininfo).
    bool ScreenPosition(const QString& window, QPoint* at);
    // Waits until the window with this exact title is gone or hidden.
    bool WaitForWindowGone(const QString& title, std::chrono::milliseconds timeout);

    // Shows a small window of another program (xmessage) with this title,
    // away from the desk; its id, or empty.
    QString OpenOtherWindow(const QString& title);
    // Gives the keyboard focus to `window` (activating it through the window
    // manager when there is one) and waits until it has it.
    bool FocusWindow(const QString& window, std::chrono::milliseconds timeout);

    // Messages the monitor printed so far (one JSON object each).
    std::vector<QJsonObject> Messages();
    // Waits until at least `count` messages arrived.
    bool WaitForMessages(std::size_t count, std::chrono::milliseconds timeout);
    // Waits until the desk has ended; its exit code, or -1.
    int WaitForDeskExit(std::chrono::milliseconds timeout);

    // Off by default (the desk's output goes to the test's). When on, set
    // before StartDesk, DeskOutput returns what the desk printed so far.
    void SetCaptureDeskOutput(bool on) { captureDeskOutput_ = on; }
    QByteArray DeskOutput();

    QString Error() const { return error_; }
    qint64 HostPid() const { return monitor_.processId(); }
    qint64 DeskPid() const { return desk_.processId(); }
    QProcessEnvironment Environment() const;
    QString RuntimeDir() const { return runtime_.path(); }
    QString WorkDir() const { return work_.path(); }
    // The folder the desk runs from: its own copy, with the data files beside it.
    QString ProgramDir() const { return work_.path() + QStringLiteral("/program"); }

private:
    QTemporaryDir runtime_;
    QTemporaryDir work_;
    QString display_;
    bool StartWindowManager();
    bool Run(const QString& program, const QStringList& args, QString* output);

    bool windowManager_ = false;
    QStringList launcher_;
    QProcess xvfb_;
    QProcess wm_;
    QProcess other_;
    QProcess monitor_;
    QProcess desk_;
    QByteArray monitorOutput_;
    qsizetype parsedUpTo_ = 0; // monitorOutput_ parsed into parsed_ up to here
    std::vector<QJsonObject> parsed_;
    QByteArray deskOutput_;
    bool captureDeskOutput_ = false;
    QString error_;
};
