#include "remote/Pairing.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include "remote/RemoteCommand.h"

namespace remote {

TPairing::TPairing(TRandom random) : random_(std::move(random)) {
    if (!random_) random_ = [] { return QRandomGenerator::system()->generate(); };
    NewCode();
}

void TPairing::NewCode() {
    // Rejection sampling keeps the six digits uniform.
    quint32 r = 0;
    do
        r = random_();
    while (r >= 4'294'000'000u);
    code_ = QStringLiteral("%1").arg(r % 1'000'000u, 6, 10, QLatin1Char('0'));
}

QString TPairing::RandomText(int bytes) const {
    QByteArray raw;
    while (raw.size() < bytes) {
        const quint32 r = random_();
        raw.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    raw.truncate(bytes);
    return QString::fromLatin1(
        raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString TPairing::HashOf(const QString& token) {
    return QString::fromLatin1(
        QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256).toHex());
}

TPairAnswer TPairing::TryCode(const QString& code, const QString& deviceName, qint64 nowMs) {
    TPairAnswer answer;
    if (nowMs < heardAgainAt_) {
        answer.What = TPairAnswer::Result::Wait;
        answer.WaitMs = heardAgainAt_ - nowMs;
        return answer;
    }
    if (code != code_ || code_.isEmpty()) {
        ++wrongInARow_;
        const int doublings = std::min(wrongInARow_ - 1, 16);
        answer.WaitMs = std::min<qint64>(LONGEST_WAIT_MS, qint64{1000} << doublings);
        heardAgainAt_ = nowMs + answer.WaitMs;
        if (wrongInARow_ % WRONG_CODES_BEFORE_NEW_CODE == 0) NewCode();
        return answer;
    }
    wrongInARow_ = 0;
    heardAgainAt_ = 0;
    // The oldest device makes room when the list is full.
    if (devices_.size() >= MAX_PAIRED_DEVICES) devices_.removeFirst();
    TPairedDevice device;
    device.Id = RandomText(6);
    device.Name = deviceName.left(MAX_DEVICE_NAME);
    answer.Token = RandomText(32);
    device.TokenHash = HashOf(answer.Token);
    device.PairedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    devices_.append(device);
    answer.What = TPairAnswer::Result::Paired;
    answer.DeviceId = device.Id;
    NewCode(); // a code pairs one device
    return answer;
}

QString TPairing::DeviceOf(const QString& token) const {
    if (token.size() != TOKEN_LENGTH) return {};
    const QString hash = HashOf(token);
    for (const TPairedDevice& d : devices_)
        if (d.TokenHash == hash) return d.Id;
    return {};
}

bool TPairing::Revoke(const QString& deviceId) {
    for (qsizetype i = 0; i < devices_.size(); ++i) {
        if (devices_[i].Id != deviceId) continue;
        devices_.removeAt(i);
        return true;
    }
    return false;
}

QByteArray TPairing::Save() const {
    QJsonArray list;
    for (const TPairedDevice& d : devices_)
        list.append(QJsonObject{{QStringLiteral("id"), d.Id},
                                {QStringLiteral("name"), d.Name},
                                {QStringLiteral("tokenSha256"), d.TokenHash},
                                {QStringLiteral("pairedAt"), d.PairedAt}});
    return QJsonDocument(QJsonObject{{QStringLiteral("devices"), list}}).toJson();
}

bool TPairing::Load(QByteArrayView bytes, QString& error) {
    devices_.clear();
    if (bytes.size() > MAX_PAIRING_FILE_BYTES) {
        error = QStringLiteral("the file is larger than %1 bytes").arg(MAX_PAIRING_FILE_BYTES);
        return false;
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        error = QStringLiteral("the file is not a list of paired devices");
        return false;
    }
    const QJsonArray list = doc.object().value(QLatin1String("devices")).toArray();
    QList<TPairedDevice> read;
    for (const QJsonValue& v : list) {
        const QJsonObject o = v.toObject();
        TPairedDevice d{o.value(QLatin1String("id")).toString(),
                        o.value(QLatin1String("name")).toString().left(MAX_DEVICE_NAME),
                        o.value(QLatin1String("tokenSha256")).toString(),
                        o.value(QLatin1String("pairedAt")).toString().left(40)};
        const bool hashOk =
            d.TokenHash.size() == 64 && QByteArray::fromHex(d.TokenHash.toLatin1()).size() == 32;
        if (d.Id.isEmpty() || d.Id.size() > 16 || !hashOk || read.size() >= MAX_PAIRED_DEVICES) {
            error = QStringLiteral("a paired device in the file is damaged");
            return false;
        }
        read.append(d);
    }
    devices_ = read;
    return true;
}

} // namespace remote
