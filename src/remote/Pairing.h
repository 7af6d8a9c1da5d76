#pragma once
// Pairing of pages that reach the desk from another machine: the desk shows
// a six-digit code, a page that types it gets a token it keeps. Only a hash
// of each token is kept. Wrong codes make the next try wait longer, and a
// run of them changes the code, so guessing it is hopeless.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>

namespace remote {

struct TPairedDevice {
    QString Id;        // short, shown and used to revoke
    QString Name;      // what the page called itself
    QString TokenHash; // SHA-256 of the token, hex
    QString PairedAt;  // ISO 8601, UTC
};

struct TPairAnswer {
    enum class Result { Paired, WrongCode, Wait };
    Result What = Result::WrongCode;
    QString Token;     // Paired
    QString DeviceId;  // Paired
    qint64 WaitMs = 0; // WrongCode and Wait: until the next try is heard
};

inline constexpr int MAX_PAIRED_DEVICES = 64;
inline constexpr qsizetype MAX_PAIRING_FILE_BYTES = 64 * 1024;
inline constexpr int WRONG_CODES_BEFORE_NEW_CODE = 5;
inline constexpr qint64 LONGEST_WAIT_MS = 60'000;

class TPairing {
public:
    // Random numbers for codes and tokens; tests hand in their own.
    using TRandom = std::function<quint32()>;
    explicit TPairing(TRandom random = {});

    QString Code() const { return code_; }
    void NewCode();

    // nowMs: a monotonic clock in milliseconds.
    TPairAnswer TryCode(const QString& code, const QString& deviceName, qint64 nowMs);
    // The device a token belongs to, or an empty string.
    QString DeviceOf(const QString& token) const;
    bool Revoke(const QString& deviceId);
    const QList<TPairedDevice>& Devices() const { return devices_; }

    // The devices as the file holds them.
    QByteArray Save() const;
    // Replaces the devices with those of a file; on an error names it and
    // keeps none.
    bool Load(QByteArrayView bytes, QString& error);

    static QString HashOf(const QString& token);

private:
    QString RandomText(int bytes) const;

    TRandom random_;
    QString code_;
    QList<TPairedDevice> devices_;
    int wrongInARow_ = 0;
    qint64 heardAgainAt_ = 0;
};

} // namespace remote
