#include "RemotePage.h"

#include <QDeadlineTimer>
#include <QJsonDocument>

RemotePages::RemotePages() = default;

RemotePages::~RemotePages() {
    if (node_.state() == QProcess::NotRunning) return;
    node_.closeWriteChannel();
    if (!node_.waitForFinished(10000)) {
        node_.kill();
        node_.waitForFinished(5000);
    }
}

bool RemotePages::Start(const QProcessEnvironment& environment) {
    node_.setProcessEnvironment(environment);
    node_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    node_.setWorkingDirectory(QStringLiteral(REMOTE_DRIVER_DIR));
    node_.start(QStringLiteral("node"), {QStringLiteral(REMOTE_DRIVER_DIR "/driver.js")});
    if (!node_.waitForStarted(10000)) {
        lastError_ = QStringLiteral("node did not start");
        return false;
    }
    // The driver says it is ready with its first line.
    return Do({}, 30000).value(QStringLiteral("ready")).toBool();
}

QJsonObject RemotePages::Do(const QJsonObject& command, int timeoutMs) {
    if (!command.isEmpty()) {
        node_.write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
        node_.waitForBytesWritten(5000);
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!pending_.contains('\n')) {
        if (deadline.hasExpired() || node_.state() == QProcess::NotRunning) {
            lastError_ = QStringLiteral("no answer from the page driver");
            return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), lastError_}};
        }
        node_.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200)));
        pending_ += node_.readAllStandardOutput();
    }
    const qsizetype end = pending_.indexOf('\n');
    const QJsonObject answer = QJsonDocument::fromJson(pending_.left(end)).object();
    pending_.remove(0, end + 1);
    if (!answer.value(QStringLiteral("ok")).toBool())
        lastError_ = answer.value(QStringLiteral("error")).toString();
    return answer;
}

bool RemotePages::Ok(const QJsonObject& command, int timeoutMs) {
    return Do(command, timeoutMs).value(QStringLiteral("ok")).toBool();
}

bool RemotePages::Open(const QString& id, const QString& url, int width, int height, bool mobile) {
    return Ok({{"cmd", "open"},
               {"id", id},
               {"url", url},
               {"width", width},
               {"height", height},
               {"mobile", mobile},
               {"incognito", true}});
}

bool RemotePages::WaitFor(const QString& id, const QString& expression, int timeoutMs) {
    return Ok({{"cmd", "waitFor"}, {"id", id}, {"expr", expression}, {"timeout", timeoutMs}},
              timeoutMs + 5000);
}

QJsonValue RemotePages::Eval(const QString& id, const QString& expression) {
    return Do({{"cmd", "eval"}, {"id", id}, {"expr", expression}}).value(QStringLiteral("value"));
}
