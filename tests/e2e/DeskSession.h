#pragma once
// Runs the real desk against the reference host on a private virtual display,
// and drives it with xdotool as a person would.

#include <chrono>
#include <memory>
#include <vector>

#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class DeskSession {
public:
    DeskSession();
    ~DeskSession();

    // Each returns false (with Error() saying why) when the piece did not start.
    bool StartDisplay();
    bool StartMonitor(const QStringList& extraArgs = {});
    bool StartDesk(const QStringList& args = {});
    // All three, then waits for the desk window; its id, or empty (see Error()).
    QString StartAll();

    // Waits until the window with this exact title is visible; its id or 0.
    QString WaitForWindow(const QString& title, std::chrono::milliseconds timeout);
    // Runs xdotool with the arguments on the session's display.
    bool Xdotool(const QStringList& args, QString* output = nullptr);
    // File > Exit in the desk window, then "No" in the layout question.
    // False (with Error()) when a step did not happen.
    bool ExitWithoutSavingLayout(const QString& window);

    // Messages the monitor printed so far (one JSON object each).
    std::vector<QJsonObject> Messages();
    // Waits until at least `count` messages arrived.
    bool WaitForMessages(std::size_t count, std::chrono::milliseconds timeout);
    // Waits until the desk has ended; its exit code, or -1.
    int WaitForDeskExit(std::chrono::milliseconds timeout);

    QString Error() const { return error_; }
    QString RuntimeDir() const { return runtime_.path(); }
    QString WorkDir() const { return work_.path(); }
    // The folder the desk runs from: its own copy, with the data files beside it.
    QString ProgramDir() const { return work_.path() + QStringLiteral("/program"); }

private:
    QProcessEnvironment Environment() const;

    QTemporaryDir runtime_;
    QTemporaryDir work_;
    QString display_;
    QProcess xvfb_;
    QProcess monitor_;
    QProcess desk_;
    QByteArray monitorOutput_;
    QString error_;
};
