#pragma once
// Where the remote server listens, as the command line and the dialog give
// it ("[ADDRESS:]PORT"), and which pages may talk to it: the Host a browser
// names must be the desk's own, and a WebSocket's Origin must be the page
// the desk served at that Host, so a page of another site in the
// operator's browser, or a name that points elsewhere, reaches nothing.

#include <QString>

namespace remote {

struct TListenAddress {
    QString Address = QStringLiteral("127.0.0.1"); // an IPv4 or IPv6 literal
    quint16 Port = 0;
    bool IsLoopback() const;
    bool IsAny() const; // 0.0.0.0 or ::
};

// Reads "[ADDRESS:]PORT" ("[::1]:8080" for IPv6); returns an empty string or
// what is wrong with the text.
QString ParseListenAddress(const QString& text, TListenAddress& out);

// The Host header of a request, checked against where the desk listens. A
// desk on loopback answers to 127.0.0.1, [::1] and localhost; one on an
// address to that address; one on every address to any address literal
// (never a name another machine could point at us).
bool HostIsOurs(const TListenAddress& listen, const QString& host);

// The Origin of a WebSocket upgrade: only the page served at that Host.
bool OriginIsOurs(const TListenAddress& listen, const QString& host, const QString& origin);

} // namespace remote
