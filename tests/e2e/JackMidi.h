#pragma once
// A private JACK server on the dummy driver (no sound card, no real-time
// rights), a small JACK client of the tests' own that plays a control
// surface (midi_peer.py), and jack_midi_dump reading what the desk sends.

#include <chrono>
#include <vector>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace jackmidi {

using Bytes = std::vector<int>;

class Server {
public:
    // Starts jackd under a name of this process's own and points every
    // client started from here (the desk too) at it through JACK_DEFAULT_SERVER.
    Server();
    ~Server();
    bool Start();
    void Stop();
    QString Name() const { return name_; }
    QString Error() const { return error_; }
    // jack_lsp's lines, with -c (connections) when asked.
    QStringList Ports(bool connections = false) const;
    bool WaitForPort(const QString& part, std::chrono::milliseconds timeout) const;
    // Waits until some port whose name holds `from` is connected to one
    // whose name holds `to`.
    bool WaitForConnection(const QString& from, const QString& to,
                           std::chrono::milliseconds timeout) const;

private:
    QString name_;
    QString error_;
    QProcess jackd_;
};

class Peer {
public:
    explicit Peer(QString name = QStringLiteral("vt-peer")) : name_(std::move(name)) {}
    ~Peer();
    bool Start();
    void Stop();
    // Hex bytes, one or more whole messages: "B0 00 7F".
    bool Send(const QString& hex);
    bool Connect(const QString& from, const QString& to);
    QString Name() const { return name_; }

private:
    bool Command(const QString& line);
    QString name_;
    QProcess process_;
};

// jack_midi_dump, its messages read as they come.
class Dump {
public:
    ~Dump();
    bool Start(const QString& clientName = QStringLiteral("vt-dump"));
    // Every message received so far.
    std::vector<Bytes> Messages();
    // Waits until a message after the first `after` equals `message`.
    bool WaitFor(std::size_t after, const Bytes& message, std::chrono::milliseconds timeout);
    QString InputPort() const { return client_ + QStringLiteral(":input"); }

private:
    QString client_;
    QProcess process_;
    QByteArray output_;
    std::vector<Bytes> messages_;
};

} // namespace jackmidi
