#pragma once
// The desk's small web server for phones and tablets: it serves the one page
// (built into the program) and talks to each page over one WebSocket. What a
// page does goes through the model's rules like the desk's own widgets; what
// the model announces reaches every page, coalesced so that a page gets the
// newest state once per turn of the event loop. Nothing here waits on a
// socket: a page that stops reading is skipped, then dropped.

#include <array>
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "core/DmxConstants.h"
#include "remote/DeskPicture.h"
#include "remote/Pairing.h"
#include "remote/RemoteAddress.h"

class QHttpServer;
class QTcpServer;
class QWebSocket;
class TDeskModel;
struct TDeskChange;

namespace remote {

struct TRemoteCommand;

// A page whose unsent bytes pass this is skipped until it drains.
inline constexpr qint64 CLIENT_HIGH_WATER = 256 * 1024;
// A page that stays behind this long is dropped.
inline constexpr qint64 CLIENT_STALL_MS = 3000;
inline constexpr int MAX_CLIENTS = 32;

class TRemoteServer : public QObject {
    Q_OBJECT
public:
    explicit TRemoteServer(TDeskModel& model, QObject* parent = nullptr);
    ~TRemoteServer() override;

    // Listens; on failure returns why and listens nowhere.
    QString Start(const TListenAddress& address);
    void Stop();
    bool Running() const;
    const TListenAddress& Listening() const { return address_; }
    // Pairing is asked of pages that come from another machine.
    bool NeedsPairing() const { return Running() && !address_.IsLoopback(); }

    void SetLook(const TDeskLook& look);
    // The paired devices' file; read now, written after every change.
    // Returns an empty string or why the file could not be read.
    QString UseDevicesFile(const QString& path);
    TPairing& Pairing() { return pairing_; }
    // Forgets a device and closes its pages.
    bool Revoke(const QString& deviceId);
    int ClientCount() const { return static_cast<int>(clients_.size()); }

    // Follows one announcement of the model.
    void Follow(const TDeskChange& change);

signals:
    void codeChanged(const QString& code);
    void devicesChanged();
    void listeningChanged();
    // A paired devices' file that could not be written.
    void failed(const QString& message);

private:
    struct TClient;
    void AcceptWebSockets();
    void Admit(std::unique_ptr<QWebSocket> socket);
    void Heard(TClient& client, const QString& message);
    void Handle(TClient& client, const TRemoteCommand& command);
    void ApplyMoves(TClient& client);
    void Drop(QWebSocket* socket, int code, const QString& reason);
    void Send(TClient& client, const QByteArray& message);
    void ScheduleFlush();
    void Flush();
    void SaveDevices();
    TClient* ClientOf(QWebSocket* socket);

    TDeskModel& model_;
    TDeskLook look_;
    TListenAddress address_;
    std::unique_ptr<QHttpServer> http_;
    QTcpServer* tcp_ = nullptr; // owned by http_
    std::vector<std::unique_ptr<TClient>> clients_;
    TPairing pairing_;
    QString devicesPath_;
    QElapsedTimer clock_;
    bool flushScheduled_ = false;
    bool stateDirty_ = false;
    bool levelsDirty_ = false;
    bool movesScheduled_ = false;
};

} // namespace remote
