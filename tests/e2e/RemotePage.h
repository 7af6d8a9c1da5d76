#pragma once
// The desk's page in headless Chromium, through the Node driver: one command
// out, one answer back, each a JSON line.

#include <QJsonObject>
#include <QProcess>
#include <QString>

class RemotePages {
public:
    RemotePages();
    ~RemotePages();

    bool Start(const QProcessEnvironment& environment);
    // Sends one command; the answer (with "ok"), or {"ok":false,"error":...}.
    QJsonObject Do(const QJsonObject& command, int timeoutMs = 30000);
    // The same, true when the driver answered "ok".
    bool Ok(const QJsonObject& command, int timeoutMs = 30000);
    QString LastError() const { return lastError_; }

    // Shortcuts for the commands the scenarios use.
    bool Open(const QString& id, const QString& url, int width, int height, bool mobile = true);
    bool WaitFor(const QString& id, const QString& expression, int timeoutMs = 10000);
    QJsonValue Eval(const QString& id, const QString& expression);

private:
    QProcess node_;
    QByteArray pending_;
    QString lastError_;
};
