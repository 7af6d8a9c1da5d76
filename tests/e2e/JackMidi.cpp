#include "JackMidi.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace jackmidi {

using namespace std::chrono_literals;

namespace {

bool Finish(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return true;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(2000);
    }
    return true;
}

} // namespace

Server::Server()
    : name_(QStringLiteral("vantrelle-test-%1").arg(QCoreApplication::applicationPid())) {
    qputenv("JACK_DEFAULT_SERVER", name_.toLocal8Bit());
}

Server::~Server() {
    Stop();
}

bool Server::Start() {
    jackd_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    jackd_.setStandardOutputFile(QProcess::nullDevice());
    jackd_.start(QStringLiteral("jackd"),
                 {QStringLiteral("-n"), name_, QStringLiteral("-r"), QStringLiteral("-d"),
                  QStringLiteral("dummy"), QStringLiteral("-p"), QStringLiteral("1024")});
    if (!jackd_.waitForStarted(5000)) {
        error_ = QStringLiteral("jackd did not start");
        return false;
    }
    if (!WaitForPort(QStringLiteral("system:playback_1"), 10s)) {
        error_ = QStringLiteral("jackd did not come up");
        return false;
    }
    return true;
}

void Server::Stop() {
    Finish(jackd_);
}

QStringList Server::Ports(bool connections) const {
    QProcess lsp;
    lsp.start(QStringLiteral("jack_lsp"),
              connections ? QStringList{QStringLiteral("-c")} : QStringList{});
    if (!lsp.waitForFinished(5000)) return {};
    return QString::fromLocal8Bit(lsp.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool Server::WaitForPort(const QString& part, std::chrono::milliseconds timeout) const {
    QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        for (const QString& port : Ports())
            if (port.contains(part)) return true;
        QThread::msleep(100);
    }
    return false;
}

bool Server::WaitForConnection(const QString& from, const QString& to,
                               std::chrono::milliseconds timeout) const {
    QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        // jack_lsp -c: a port, then each port it is connected to, indented.
        QString current;
        for (const QString& line : Ports(true)) {
            if (!line.startsWith(' ')) {
                current = line;
                continue;
            }
            if (current.contains(from) && line.trimmed().contains(to)) return true;
        }
        QThread::msleep(100);
    }
    return false;
}

Peer::~Peer() {
    Stop();
}

bool Peer::Start() {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(VANTRELLE_E2E_SOURCE_DIR "/midi_peer.py"), name_});
    if (!process_.waitForStarted(5000)) return false;
    QDeadlineTimer deadline(10s);
    while (!deadline.hasExpired()) {
        if (process_.canReadLine() && process_.readLine().startsWith("ready")) return true;
        process_.waitForReadyRead(100);
    }
    return false;
}

void Peer::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write("quit\n");
    if (!process_.waitForFinished(3000)) Finish(process_);
}

bool Peer::Command(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toLocal8Bit());
    QDeadlineTimer deadline(5s);
    while (!deadline.hasExpired()) {
        while (process_.canReadLine())
            if (process_.readLine().startsWith("ok")) return true;
        process_.waitForReadyRead(50);
    }
    return false;
}

bool Peer::Send(const QString& hex) {
    return Command(QStringLiteral("send ") + hex);
}

bool Peer::Connect(const QString& from, const QString& to) {
    return Command(QStringLiteral("connect ") + from + QLatin1Char(' ') + to);
}

Dump::~Dump() {
    Finish(process_);
}

bool Dump::Start(const QString& clientName) {
    client_ = clientName;
    // Line-buffered, or its lines wait in a full pipe buffer.
    process_.start(QStringLiteral("stdbuf"),
                   {QStringLiteral("-oL"), QStringLiteral("jack_midi_dump"), clientName});
    return process_.waitForStarted(5000);
}

std::vector<Bytes> Dump::Messages() {
    process_.waitForReadyRead(20);
    output_ += process_.readAllStandardOutput();
    qsizetype end;
    while ((end = output_.indexOf('\n')) >= 0) {
        const QString line = QString::fromLatin1(output_.left(end));
        output_.remove(0, end + 1);
        // "   12: b0 00 7f control change ...": the hex bytes after the colon.
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) continue;
        Bytes message;
        for (const QString& word : line.mid(colon + 1).split(' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int value = word.toInt(&ok, 16);
            if (!ok || word.size() != 2) break;
            message.push_back(value);
        }
        if (!message.empty()) messages_.push_back(message);
    }
    return messages_;
}

bool Dump::WaitFor(std::size_t after, const Bytes& message, std::chrono::milliseconds timeout) {
    QDeadlineTimer deadline(timeout);
    for (;;) {
        const auto all = Messages();
        for (std::size_t i = after; i < all.size(); ++i)
            if (all[i] == message) return true;
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

} // namespace jackmidi
