// Where the server listens, and which Host and Origin it answers.

#include <gtest/gtest.h>

#include "remote/RemoteAddress.h"

using remote::TListenAddress;

namespace {

TListenAddress Parsed(const char* text) {
    TListenAddress a;
    const QString wrong = remote::ParseListenAddress(QString::fromLatin1(text), a);
    EXPECT_TRUE(wrong.isEmpty()) << text << ": " << wrong.toStdString();
    return a;
}

bool Refused(const char* text) {
    TListenAddress a;
    return !remote::ParseListenAddress(QString::fromLatin1(text), a).isEmpty();
}

} // namespace

TEST(RemoteAddress, APortAloneMeansLoopback) {
    const TListenAddress a = Parsed("8080");
    EXPECT_EQ(a.Address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(a.Port, 8080);
    EXPECT_TRUE(a.IsLoopback());
    EXPECT_EQ(Parsed("0.0.0.0:80").IsAny(), true);
    EXPECT_EQ(Parsed("[::1]:9000").Address, QStringLiteral("::1"));
    EXPECT_EQ(Parsed("192.0.2.7:1").Port, 1);
}

TEST(RemoteAddress, RefusesWhatIsNotAnAddressAndPort) {
    for (const char* bad : {"", "0", "65536", "-1", "80a", "host:80", ":80", "1.2.3:80",
                            "1.2.3.4:", "1.2.3.4:99999", "[::1]", "123456"})
        EXPECT_TRUE(Refused(bad)) << bad;
}

TEST(RemoteAddress, LoopbackAnswersItsOwnNamesOnly) {
    const TListenAddress a = Parsed("8080");
    EXPECT_TRUE(remote::HostIsOurs(a, QStringLiteral("127.0.0.1:8080")));
    EXPECT_TRUE(remote::HostIsOurs(a, QStringLiteral("localhost:8080")));
    EXPECT_TRUE(remote::HostIsOurs(a, QStringLiteral("[::1]:8080")));
    EXPECT_FALSE(remote::HostIsOurs(a, QStringLiteral("127.0.0.1:8081")));
    EXPECT_FALSE(remote::HostIsOurs(a, QStringLiteral("127.0.0.1")));
    // A name that some DNS answer pointed at 127.0.0.1.
    EXPECT_FALSE(remote::HostIsOurs(a, QStringLiteral("attacker.example:8080")));
    EXPECT_FALSE(remote::HostIsOurs(a, QString()));
}

TEST(RemoteAddress, AnAddressAnswersItselfAndAnyAnswersLiterals) {
    const TListenAddress one = Parsed("192.0.2.7:8080");
    EXPECT_TRUE(remote::HostIsOurs(one, QStringLiteral("192.0.2.7:8080")));
    EXPECT_FALSE(remote::HostIsOurs(one, QStringLiteral("192.0.2.8:8080")));
    const TListenAddress any = Parsed("0.0.0.0:8080");
    EXPECT_TRUE(remote::HostIsOurs(any, QStringLiteral("10.1.2.3:8080")));
    EXPECT_FALSE(remote::HostIsOurs(any, QStringLiteral("desk.example:8080")));
}

TEST(RemoteAddress, TheOriginMustBeThePageAtThatHost) {
    const TListenAddress a = Parsed("8080");
    const QString host = QStringLiteral("127.0.0.1:8080");
    EXPECT_TRUE(remote::OriginIsOurs(a, host, QStringLiteral("http://127.0.0.1:8080")));
    for (const char* origin :
         {"", "null", "http://evil.example", "http://127.0.0.1:8081", "https://127.0.0.1:8080",
          "http://127.0.0.1:8080.evil.example", "http://localhost:8080"})
        EXPECT_FALSE(remote::OriginIsOurs(a, host, QString::fromLatin1(origin))) << origin;
}
