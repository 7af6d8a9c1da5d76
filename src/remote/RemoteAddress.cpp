#include "remote/RemoteAddress.h"

#include <QHostAddress>

namespace remote {

namespace {

bool ParsePort(const QString& text, quint16& port) {
    if (text.isEmpty() || text.size() > 5) return false;
    for (const QChar c : text)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    const uint value = text.toUInt();
    if (value < 1 || value > 65535) return false;
    port = static_cast<quint16>(value);
    return true;
}

// Splits "name:port" or "[v6]:port"; the port must be given.
bool SplitHost(const QString& host, QString& name, quint16& port) {
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) return false;
    name = host.left(colon);
    if (!ParsePort(host.mid(colon + 1), port)) return false;
    if (name.startsWith(QLatin1Char('['))) {
        if (!name.endsWith(QLatin1Char(']'))) return false;
        name = name.mid(1, name.size() - 2);
    }
    return !name.isEmpty();
}

bool IsAddressLiteral(const QString& name) {
    QHostAddress a;
    return a.setAddress(name);
}

} // namespace

bool TListenAddress::IsLoopback() const {
    return QHostAddress(Address).isLoopback();
}

bool TListenAddress::IsAny() const {
    const QHostAddress a(Address);
    return a == QHostAddress(QHostAddress::AnyIPv4) || a == QHostAddress(QHostAddress::AnyIPv6);
}

QString ParseListenAddress(const QString& text, TListenAddress& out) {
    TListenAddress parsed;
    QString portText = text;
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        QString address = text.left(colon);
        portText = text.mid(colon + 1);
        if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
            address = address.mid(1, address.size() - 2);
        QHostAddress a;
        // IPv4 in its four dotted parts only ("1.2.3" would be read as 1.2.0.3).
        const bool partial =
            !address.contains(QLatin1Char(':')) && address.count(QLatin1Char('.')) != 3;
        if (address.isEmpty() || partial || !a.setAddress(address))
            return QStringLiteral("'%1' is not an IP address").arg(text.left(colon));
        parsed.Address = a.toString();
    }
    if (!ParsePort(portText, parsed.Port))
        return QStringLiteral("'%1' is not a port number (1 to 65535)").arg(portText);
    out = parsed;
    return {};
}

bool HostIsOurs(const TListenAddress& listen, const QString& host) {
    QString name;
    quint16 port = 0;
    if (!SplitHost(host, name, port) || port != listen.Port) return false;
    const QHostAddress asked(name);
    if (listen.IsLoopback())
        return name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
               (!asked.isNull() && asked.isLoopback());
    if (listen.IsAny()) return IsAddressLiteral(name);
    return !asked.isNull() && asked.isEqual(QHostAddress(listen.Address));
}

bool OriginIsOurs(const TListenAddress& listen, const QString& host, const QString& origin) {
    if (!HostIsOurs(listen, host)) return false;
    return origin.compare(QStringLiteral("http://") + host, Qt::CaseInsensitive) == 0;
}

} // namespace remote
