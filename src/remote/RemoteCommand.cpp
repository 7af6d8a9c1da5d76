#include "remote/RemoteCommand.h"

#include <cmath>
#include <initializer_list>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "core/DmxConstants.h"

namespace remote {

namespace {

TParsedCommand Refused(const QString& why) {
    TParsedCommand parsed;
    parsed.Error = why;
    return parsed;
}

// A whole number in [low, high]; JSON numbers arrive as doubles.
bool WholeIn(const QJsonValue& value, int low, int high, int& out) {
    if (!value.isDouble()) return false;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < low || d > high) return false;
    out = static_cast<int>(d);
    return true;
}

bool OnlyKeys(const QJsonObject& object, std::initializer_list<const char*> keys) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* k : keys)
            known = known || it.key() == QLatin1String(k);
        if (!known) return false;
    }
    return object.size() == static_cast<qsizetype>(keys.size());
}

bool IsToken(const QString& s) {
    if (s.size() != TOKEN_LENGTH) return false;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                        (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok) return false;
    }
    return true;
}

bool IsCode(const QString& s) {
    if (s.size() != 6) return false;
    for (const QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    return true;
}

bool IsDeviceName(const QString& s) {
    if (s.size() > MAX_DEVICE_NAME) return false;
    for (const QChar c : s)
        if (!c.isPrint()) return false;
    return true;
}

} // namespace

TParsedCommand ParseRemoteCommand(QByteArrayView message) {
    if (message.size() > MAX_COMMAND_BYTES) return Refused(QStringLiteral("message too long"));
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(message.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Refused(QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();
    const QString type = o.value(QLatin1String("t")).toString();
    TParsedCommand parsed;
    TRemoteCommand& c = parsed.Command;
    const auto slot = [&] {
        return WholeIn(o.value(QLatin1String("slot")), 1, FADERS_PER_PAGE, c.Slot);
    };
    bool ok = false;
    if (type == QLatin1String("move")) {
        c.What = TRemoteCommand::Kind::Move;
        ok = OnlyKeys(o, {"t", "slot", "level"}) && slot() &&
             WholeIn(o.value(QLatin1String("level")), 0, DMX_MAX_LEVEL, c.Level);
    } else if (type == QLatin1String("press") || type == QLatin1String("release")) {
        c.What = type == QLatin1String("press") ? TRemoteCommand::Kind::Press
                                                : TRemoteCommand::Kind::Release;
        ok = OnlyKeys(o, {"t", "slot"}) && slot();
    } else if (type == QLatin1String("latch")) {
        c.What = TRemoteCommand::Kind::Latch;
        const QJsonValue on = o.value(QLatin1String("on"));
        ok = OnlyKeys(o, {"t", "slot", "on"}) && slot() && on.isBool();
        c.On = on.toBool();
    } else if (type == QLatin1String("page")) {
        c.What = TRemoteCommand::Kind::Page;
        ok = OnlyKeys(o, {"t", "page"}) &&
             WholeIn(o.value(QLatin1String("page")), 1, PAGE_COUNT, c.Page);
    } else if (type == QLatin1String("auth")) {
        c.What = TRemoteCommand::Kind::Auth;
        c.Token = o.value(QLatin1String("token")).toString();
        ok = OnlyKeys(o, {"t", "token"}) && IsToken(c.Token);
    } else if (type == QLatin1String("pair")) {
        c.What = TRemoteCommand::Kind::Pair;
        c.Code = o.value(QLatin1String("code")).toString();
        const QJsonValue device = o.value(QLatin1String("device"));
        c.Device = device.toString();
        ok = OnlyKeys(o, {"t", "code", "device"}) && IsCode(c.Code) && device.isString() &&
             IsDeviceName(c.Device);
    } else {
        return Refused(QStringLiteral("unknown message type"));
    }
    if (!ok) return Refused(QStringLiteral("bad fields for \"") + type + QLatin1Char('"'));
    parsed.Ok = true;
    return parsed;
}

} // namespace remote
