#include "remote/RemoteServer.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTimer>
#include <QWebSocket>

#include "core/WholeFile.h"
#include "model/DeskChange.h"
#include "model/DeskModel.h"
#include "remote/RemoteCommand.h"

// The page's files are a resource of this static library.
static void InitialisePageResources() {
    Q_INIT_RESOURCE(Page);
}

namespace remote {

namespace {

constexpr int CLOSE_POLICY = 1008;
constexpr int CLOSE_TOO_BIG = 1009;
constexpr int CLOSE_REVOKED = 4001;
constexpr int CLOSE_TOO_MANY = 4002;

QByteArray Message(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QHttpServerResponse PageFile(const QString& name, const QByteArray& mime) {
    QFile file(QStringLiteral(":/remote/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
    QHttpServerResponse response(mime, file.readAll());
    response.addHeader("Cache-Control", "no-store");
    response.addHeader("X-Content-Type-Options", "nosniff");
    response.addHeader("X-Frame-Options", "DENY");
    response.addHeader("Referrer-Policy", "no-referrer");
    response.addHeader("Content-Security-Policy",
                       "default-src 'none'; script-src 'self'; style-src 'self'; "
                       "connect-src 'self'; img-src 'self'; frame-ancestors 'none'");
    return response;
}

} // namespace

struct TRemoteServer::TClient {
    std::unique_ptr<QWebSocket> Socket;
    bool Allowed = false; // loopback, or a paired token
    QString DeviceId;     // the paired device, if any
    bool Behind = false;  // skipped while its bytes did not drain
    qint64 BehindSince = 0;
    std::array<int, FADERS_PER_PAGE + 1> Moves{}; // newest level per slot, -1 none
    bool HasMoves = false;
};

TRemoteServer::TRemoteServer(TDeskModel& model, QObject* parent) : QObject(parent), model_(model) {
    InitialisePageResources();
    clock_.start();
}

TRemoteServer::~TRemoteServer() {
    // Whoever listens may be going too: nothing is announced on the way out.
    blockSignals(true);
    Stop();
}

bool TRemoteServer::Running() const {
    return tcp_ != nullptr && tcp_->isListening();
}

QString TRemoteServer::Start(const TListenAddress& address) {
    Stop();
    auto http = std::make_unique<QHttpServer>();
    const auto page = [this](const QString& name, const QByteArray& mime) {
        return [this, name, mime](const QHttpServerRequest& request) {
            // A name that points at us from elsewhere gets nothing.
            if (!HostIsOurs(address_, QString::fromLatin1(request.value("Host"))))
                return QHttpServerResponse(QHttpServerResponse::StatusCode::MisdirectedRequest);
            return PageFile(name, mime);
        };
    };
    http->route(QStringLiteral("/"),
                page(QStringLiteral("index.html"), "text/html; charset=utf-8"));
    http->route(QStringLiteral("/desk.css"),
                page(QStringLiteral("desk.css"), "text/css; charset=utf-8"));
    http->route(QStringLiteral("/desk.js"),
                page(QStringLiteral("desk.js"), "text/javascript; charset=utf-8"));
    // The WebSocket's own path: a request the router handles without an answer
    // is the one the server upgrades; anything else there is told to upgrade.
    http->route(QStringLiteral("/ws"),
                [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                    if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                        responder.write(QHttpServerResponder::StatusCode::UpgradeRequired);
                });
    auto* tcp = new QTcpServer(http.get());
    tcp->setMaxPendingConnections(MAX_CLIENTS);
    if (!tcp->listen(QHostAddress(address.Address), address.Port))
        return QStringLiteral("Remote access cannot listen on %1 port %2: %3")
            .arg(address.Address)
            .arg(address.Port)
            .arg(tcp->errorString());
    http->bind(tcp);
    connect(http.get(), &QHttpServer::newWebSocketConnection, this,
            &TRemoteServer::AcceptWebSockets);
    address_ = address;
    address_.Port = tcp->serverPort(); // port 0 asks for any free one
    tcp_ = tcp;
    http_ = std::move(http);
    emit listeningChanged();
    return {};
}

void TRemoteServer::Stop() {
    const bool was = Running();
    for (auto& client : clients_) {
        client->Socket->disconnect(this);
        client->Socket->abort();
    }
    clients_.clear();
    http_.reset();
    tcp_ = nullptr;
    if (was) emit listeningChanged();
}

void TRemoteServer::SetLook(const TDeskLook& look) {
    look_ = look;
    stateDirty_ = true;
    ScheduleFlush();
}

QString TRemoteServer::UseDevicesFile(const QString& path) {
    devicesPath_ = path;
    RemoveSaveLeftovers(path);
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
    const QByteArray bytes = file.read(MAX_PAIRING_FILE_BYTES + 1);
    QString error;
    if (!pairing_.Load(bytes, error)) {
        // Nothing is paired rather than a half-read list; the damaged file
        // stays until the next pairing replaces it.
        emit devicesChanged();
        return QStringLiteral("\"%1\": %2; no device is paired").arg(path, error);
    }
    emit devicesChanged();
    return {};
}

void TRemoteServer::SaveDevices() {
    if (devicesPath_.isEmpty()) return;
    const TFileResult<> saved = ReplaceFileWhole(devicesPath_, pairing_.Save(),
                                                 QStringLiteral("Saving the paired devices to %1"));
    if (!saved) emit failed(saved.Error().Message());
}

bool TRemoteServer::Revoke(const QString& deviceId) {
    if (!pairing_.Revoke(deviceId)) return false;
    SaveDevices();
    for (auto& client : clients_)
        if (client->DeviceId == deviceId)
            QTimer::singleShot(0, client->Socket.get(), [this, s = client->Socket.get()] {
                Drop(s, CLOSE_REVOKED, QStringLiteral("revoked"));
            });
    emit devicesChanged();
    return true;
}

TRemoteServer::TClient* TRemoteServer::ClientOf(QWebSocket* socket) {
    for (auto& client : clients_)
        if (client->Socket.get() == socket) return client.get();
    return nullptr;
}

void TRemoteServer::AcceptWebSockets() {
    while (http_ && http_->hasPendingWebSocketConnections())
        if (auto socket = http_->nextPendingWebSocketConnection()) Admit(std::move(socket));
}

void TRemoteServer::Admit(std::unique_ptr<QWebSocket> socket) {
    const QUrl url = socket->requestUrl();
    const QString host = url.port() > 0 ? url.authority() : QString();
    // Checked before a word is heard: a page of another site, or a host name
    // that is not ours, is closed at once.
    if (!OriginIsOurs(address_, host, socket->origin()) || url.path() != QLatin1String("/ws")) {
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("origin"));
        socket.release()->deleteLater();
        return;
    }
    if (static_cast<int>(clients_.size()) >= MAX_CLIENTS) {
        socket->close(static_cast<QWebSocketProtocol::CloseCode>(CLOSE_TOO_MANY),
                      QStringLiteral("too many pages"));
        socket.release()->deleteLater();
        return;
    }
    socket->setMaxAllowedIncomingMessageSize(MAX_COMMAND_BYTES);
    socket->setMaxAllowedIncomingFrameSize(MAX_COMMAND_BYTES);
    auto client = std::make_unique<TClient>();
    client->Moves.fill(-1);
    QWebSocket* s = socket.get();
    client->Socket = std::move(socket);
    client->Allowed = s->peerAddress().isLoopback();
    connect(s, &QWebSocket::textMessageReceived, this, [this, s](const QString& message) {
        if (TClient* c = ClientOf(s)) Heard(*c, message);
    });
    connect(s, &QWebSocket::binaryMessageReceived, this, [this, s](const QByteArray&) {
        Drop(s, CLOSE_POLICY, QStringLiteral("text messages only"));
    });
    connect(s, &QWebSocket::disconnected, this, [this, s] { Drop(s, 0, QString()); });
    connect(s, &QWebSocket::bytesWritten, this, [this, s](qint64) {
        // A page that drained gets the whole state again.
        TClient* c = ClientOf(s);
        if (c != nullptr && c->Behind && s->bytesToWrite() < CLIENT_HIGH_WATER / 4) {
            c->Behind = false;
            Send(*c, StateMessage(model_, look_));
        }
    });
    TClient& admitted = *client;
    clients_.push_back(std::move(client));
    Send(admitted, Message({{QStringLiteral("t"), QStringLiteral("hello")},
                            {QStringLiteral("pair"), !admitted.Allowed}}));
    if (admitted.Allowed) Send(admitted, StateMessage(model_, look_));
}

void TRemoteServer::Drop(QWebSocket* socket, int code, const QString& reason) {
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if ((*it)->Socket.get() != socket) continue;
        std::unique_ptr<QWebSocket> s = std::move((*it)->Socket);
        clients_.erase(it);
        s->disconnect(this);
        if (code != 0 && s->state() == QAbstractSocket::ConnectedState)
            s->close(static_cast<QWebSocketProtocol::CloseCode>(code), reason);
        else
            s->abort();
        s.release()->deleteLater();
        return;
    }
}

void TRemoteServer::Heard(TClient& client, const QString& message) {
    const QByteArray bytes = message.toUtf8();
    const TParsedCommand parsed = ParseRemoteCommand(bytes);
    if (!parsed.Ok) {
        Drop(client.Socket.get(), bytes.size() > MAX_COMMAND_BYTES ? CLOSE_TOO_BIG : CLOSE_POLICY,
             parsed.Error);
        return;
    }
    Handle(client, parsed.Command);
}

void TRemoteServer::Handle(TClient& client, const TRemoteCommand& command) {
    using Kind = TRemoteCommand::Kind;
    QWebSocket* socket = client.Socket.get();
    if (command.What == Kind::Auth) {
        const QString device = pairing_.DeviceOf(command.Token);
        if (device.isEmpty() && !client.Allowed) {
            Send(client, Message({{QStringLiteral("t"), QStringLiteral("unpaired")}}));
            return;
        }
        if (!device.isEmpty()) client.DeviceId = device;
        if (!client.Allowed) {
            client.Allowed = true;
            Send(client, StateMessage(model_, look_));
        }
        return;
    }
    if (command.What == Kind::Pair) {
        if (client.Allowed) return;
        const TPairAnswer answer = pairing_.TryCode(command.Code, command.Device, clock_.elapsed());
        if (answer.What != TPairAnswer::Result::Paired) {
            Send(client, Message({{QStringLiteral("t"), QStringLiteral("wrong")},
                                  {QStringLiteral("waitMs"), answer.WaitMs}}));
            emit codeChanged(pairing_.Code()); // a run of wrong codes changes it
            return;
        }
        client.Allowed = true;
        client.DeviceId = answer.DeviceId;
        SaveDevices();
        emit codeChanged(pairing_.Code());
        emit devicesChanged();
        Send(client, Message({{QStringLiteral("t"), QStringLiteral("paired")},
                              {QStringLiteral("token"), answer.Token}}));
        Send(client, StateMessage(model_, look_));
        return;
    }
    if (!client.Allowed) {
        Drop(socket, CLOSE_POLICY, QStringLiteral("not paired"));
        return;
    }
    if (command.What == Kind::Move) {
        // Coalesced: the newest level of each slot, applied once this batch
        // of messages is read.
        client.Moves[static_cast<std::size_t>(command.Slot)] = command.Level;
        client.HasMoves = true;
        if (!movesScheduled_) {
            movesScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                movesScheduled_ = false;
                for (std::size_t i = 0; i < clients_.size(); ++i)
                    ApplyMoves(*clients_[i]);
                // The pages hear of it now, not after the window's own events.
                if (flushScheduled_) Flush();
            });
        }
        return;
    }
    // Anything else keeps its order after the moves before it.
    ApplyMoves(client);
    try {
        switch (command.What) {
        case Kind::Press:
            model_.PressBump(command.Slot, TFocus{0, command.Slot});
            break;
        case Kind::Release:
            model_.ReleaseBump(command.Slot, TFocus{0, command.Slot});
            break;
        case Kind::Latch:
            model_.LatchBump(command.Slot, command.On, TFocus{0, command.Slot});
            break;
        case Kind::Page:
            model_.ShowPage(command.Page, TFocus{});
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        Drop(socket, CLOSE_POLICY, QString::fromLocal8Bit(e.what()));
    }
}

void TRemoteServer::ApplyMoves(TClient& client) {
    if (!client.HasMoves) return;
    client.HasMoves = false;
    // The finger on a fader holds it as the desk's focus would.
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        int& level = client.Moves[static_cast<std::size_t>(slot)];
        if (level < 0) continue;
        const int newest = level;
        level = -1;
        model_.MoveFader(slot, newest, TFocus{slot, 0});
    }
}

void TRemoteServer::Follow(const TDeskChange& change) {
    if (clients_.empty()) return;
    constexpr unsigned whole = TDeskChange::Page | TDeskChange::Names | TDeskChange::Colors |
                               TDeskChange::SlotsShown | TDeskChange::Readiness;
    constexpr unsigned moving =
        TDeskChange::Levels | TDeskChange::FaderPositions | TDeskChange::Bumps;
    if (change.Has(whole)) stateDirty_ = true;
    if (change.Has(moving)) levelsDirty_ = true;
    ScheduleFlush();
}

void TRemoteServer::ScheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QTimer::singleShot(0, this, &TRemoteServer::Flush);
}

void TRemoteServer::Flush() {
    flushScheduled_ = false;
    if (!stateDirty_ && !levelsDirty_) return;
    const QByteArray message =
        stateDirty_ ? StateMessage(model_, look_) : LevelsMessage(model_, look_);
    stateDirty_ = levelsDirty_ = false;
    std::vector<QWebSocket*> stalled;
    const qint64 now = clock_.elapsed();
    for (auto& client : clients_) {
        if (!client->Allowed) continue;
        QWebSocket* s = client->Socket.get();
        if (s->bytesToWrite() > CLIENT_HIGH_WATER) {
            // Not read: its queue is not fed; what it missed comes whole
            // once it drains, and a page that never does is let go.
            if (!client->Behind) {
                client->Behind = true;
                client->BehindSince = now;
            } else if (now - client->BehindSince > CLIENT_STALL_MS) {
                stalled.push_back(s);
            }
            continue;
        }
        if (client->Behind) {
            client->Behind = false;
            Send(*client, StateMessage(model_, look_));
        } else {
            Send(*client, message);
        }
    }
    for (QWebSocket* s : stalled)
        Drop(s, 0, QString());
}

void TRemoteServer::Send(TClient& client, const QByteArray& message) {
    client.Socket->sendTextMessage(QString::fromUtf8(message));
}

} // namespace remote
