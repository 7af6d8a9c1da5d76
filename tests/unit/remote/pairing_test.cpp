// Pairing: one code pairs one device, wrong codes wait longer each time and a
// run of them changes the code; tokens are kept only as hashes.

#include <gtest/gtest.h>

#include "remote/Pairing.h"

using remote::TPairAnswer;
using remote::TPairing;

namespace {

// A predictable source: 1, 2, 3, ...
TPairing::TRandom Counting() {
    return [n = 0u]() mutable { return ++n; };
}

} // namespace

TEST(Pairing, TheCodeIsSixDigitsAndPairsOneDevice) {
    TPairing pairing(Counting());
    const QString code = pairing.Code();
    ASSERT_EQ(code.size(), 6);
    const TPairAnswer a = pairing.TryCode(code, QStringLiteral("Tablet"), 0);
    ASSERT_EQ(a.What, TPairAnswer::Result::Paired);
    EXPECT_EQ(a.Token.size(), 43);
    EXPECT_EQ(pairing.DeviceOf(a.Token), a.DeviceId);
    EXPECT_NE(pairing.Code(), code) << "a code is used once";
    EXPECT_EQ(pairing.TryCode(code, QStringLiteral("Other"), 1).What,
              TPairAnswer::Result::WrongCode);
    ASSERT_EQ(pairing.Devices().size(), 1);
    EXPECT_EQ(pairing.Devices()[0].Name, QStringLiteral("Tablet"));
    EXPECT_NE(pairing.Devices()[0].TokenHash, a.Token);
}

TEST(Pairing, WrongCodesWaitLongerAndChangeTheCode) {
    TPairing pairing;
    const QString code = pairing.Code();
    const QString wrong =
        code == QStringLiteral("000000") ? QStringLiteral("000001") : QStringLiteral("000000");
    qint64 now = 1000;
    TPairAnswer a = pairing.TryCode(wrong, {}, now);
    EXPECT_EQ(a.What, TPairAnswer::Result::WrongCode);
    EXPECT_EQ(a.WaitMs, 1000);
    // While it waits, even the right code is not heard.
    a = pairing.TryCode(code, {}, now + 500);
    EXPECT_EQ(a.What, TPairAnswer::Result::Wait);
    EXPECT_EQ(a.WaitMs, 500);
    qint64 wait = 1000;
    for (int i = 2; i <= remote::WRONG_CODES_BEFORE_NEW_CODE; ++i) {
        now += wait;
        a = pairing.TryCode(wrong == pairing.Code() ? code : wrong, {}, now);
        ASSERT_EQ(a.What, TPairAnswer::Result::WrongCode);
        EXPECT_EQ(a.WaitMs, wait * 2);
        wait = a.WaitMs;
    }
    EXPECT_NE(pairing.Code(), code) << "five wrong codes in a row change the code";
    EXPECT_TRUE(pairing.Devices().isEmpty());
    // The wait stops growing at a minute.
    for (int i = 0; i < 20; ++i) {
        now += a.WaitMs;
        const QString guess = pairing.Code() == wrong ? code : wrong;
        a = pairing.TryCode(guess, {}, now);
    }
    EXPECT_EQ(a.WaitMs, remote::LONGEST_WAIT_MS);
    // And the right code, once heard, pairs.
    now += a.WaitMs;
    EXPECT_EQ(pairing.TryCode(pairing.Code(), {}, now).What, TPairAnswer::Result::Paired);
}

TEST(Pairing, RevokedTokensAreForgotten) {
    TPairing pairing;
    const TPairAnswer a = pairing.TryCode(pairing.Code(), QStringLiteral("A"), 0);
    const TPairAnswer b = pairing.TryCode(pairing.Code(), QStringLiteral("B"), 0);
    ASSERT_EQ(pairing.Devices().size(), 2);
    EXPECT_TRUE(pairing.Revoke(a.DeviceId));
    EXPECT_FALSE(pairing.Revoke(a.DeviceId));
    EXPECT_TRUE(pairing.DeviceOf(a.Token).isEmpty());
    EXPECT_EQ(pairing.DeviceOf(b.Token), b.DeviceId);
}

TEST(Pairing, TheFileKeepsDevicesAndRefusesDamage) {
    TPairing first;
    const TPairAnswer a = first.TryCode(first.Code(), QStringLiteral("Phone"), 0);
    const QByteArray saved = first.Save();
    EXPECT_FALSE(saved.contains(a.Token.toLatin1())) << "the token itself is never stored";

    TPairing second;
    QString error;
    ASSERT_TRUE(second.Load(saved, error)) << error.toStdString();
    EXPECT_EQ(second.DeviceOf(a.Token), a.DeviceId);

    for (const QByteArray& bad :
         {QByteArray("not json"), QByteArray(R"({"devices":[{"id":"x","tokenSha256":"zz"}]})"),
          QByteArray(R"({"devices":[{"id":"","tokenSha256":")") + QByteArray(64, 'a') + "\"}]}",
          QByteArray(remote::MAX_PAIRING_FILE_BYTES + 1, ' ')}) {
        TPairing damaged;
        ASSERT_TRUE(damaged.Load(saved, error));
        EXPECT_FALSE(damaged.Load(bad, error)) << bad.left(80).toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(damaged.Devices().isEmpty()) << "nothing half-read is trusted";
    }
}

TEST(Pairing, TheListStaysBounded) {
    TPairing pairing;
    QString firstId;
    for (int i = 0; i < remote::MAX_PAIRED_DEVICES + 3; ++i) {
        const TPairAnswer a = pairing.TryCode(pairing.Code(), QString::number(i), 0);
        if (i == 0) firstId = a.DeviceId;
    }
    EXPECT_EQ(pairing.Devices().size(), remote::MAX_PAIRED_DEVICES);
    EXPECT_FALSE(pairing.Revoke(firstId)) << "the oldest made room";
}
