// What a page may send, and everything else refused before it reaches the model.

#include <gtest/gtest.h>

#include "remote/RemoteCommand.h"

using remote::ParseRemoteCommand;
using Kind = remote::TRemoteCommand::Kind;

namespace {

remote::TParsedCommand Parse(const char* text) {
    return ParseRemoteCommand(QByteArrayView(text));
}

} // namespace

TEST(RemoteCommand, ReadsEachKindWithItsFields) {
    auto p = Parse(R"({"t":"move","slot":32,"level":255})");
    ASSERT_TRUE(p.Ok) << p.Error.toStdString();
    EXPECT_EQ(p.Command.What, Kind::Move);
    EXPECT_EQ(p.Command.Slot, 32);
    EXPECT_EQ(p.Command.Level, 255);

    p = Parse(R"({"slot":1,"t":"press"})");
    ASSERT_TRUE(p.Ok);
    EXPECT_EQ(p.Command.What, Kind::Press);
    EXPECT_EQ(Parse(R"({"t":"release","slot":5})").Command.What, Kind::Release);

    p = Parse(R"({"t":"latch","slot":7,"on":true})");
    ASSERT_TRUE(p.Ok);
    EXPECT_TRUE(p.Command.On);

    p = Parse(R"({"t":"page","page":16})");
    ASSERT_TRUE(p.Ok);
    EXPECT_EQ(p.Command.Page, 16);

    p = Parse(R"({"t":"pair","code":"012345","device":"Phone"})");
    ASSERT_TRUE(p.Ok);
    EXPECT_EQ(p.Command.Code, QStringLiteral("012345"));
    EXPECT_EQ(p.Command.Device, QStringLiteral("Phone"));

    p = Parse(R"({"t":"auth","token":"abcdefghijklmnopqrstuvwxyzABCDEFGHIJ0123-_6"})");
    ASSERT_TRUE(p.Ok) << p.Error.toStdString();
    EXPECT_EQ(p.Command.What, Kind::Auth);
}

TEST(RemoteCommand, RefusesNumbersOutOfRangeOrNotWhole) {
    for (const char* bad : {
             R"({"t":"move","slot":0,"level":1})",
             R"({"t":"move","slot":33,"level":1})",
             R"({"t":"move","slot":1,"level":256})",
             R"({"t":"move","slot":1,"level":-1})",
             R"({"t":"move","slot":1.5,"level":1})",
             R"({"t":"move","slot":1,"level":1e300})",
             R"({"t":"move","slot":"1","level":1})",
             R"({"t":"move","slot":1})",
             R"({"t":"page","page":0})",
             R"({"t":"page","page":17})",
             R"({"t":"latch","slot":1,"on":1})",
             R"({"t":"press","slot":-2147483649})",
         })
        EXPECT_FALSE(Parse(bad).Ok) << bad;
}

TEST(RemoteCommand, RefusesUnknownShapesKeysAndTypes) {
    for (const char* bad : {
             "",
             "null",
             "[]",
             "42",
             "\"move\"",
             "{",
             "{}",
             R"({"t":1})",
             R"({"t":"MOVE","slot":1,"level":1})",
             R"({"t":"move","slot":1,"level":1,"extra":0})",
             R"({"t":"file","path":"/etc/passwd"})",
             R"({"t":"pair","code":"12345","device":""})",
             R"({"t":"pair","code":"1234567","device":""})",
             R"({"t":"pair","code":"12a456","device":""})",
             R"({"t":"pair","code":"123456"})",
             R"({"t":"pair","code":"123456","device":"a\u0007b"})",
             R"({"t":"auth","token":"short"})",
             R"({"t":"auth","token":"abcdefghijklmnopqrstuvwxyzABCDEFGHIJ0123-/6"})",
         })
        EXPECT_FALSE(Parse(bad).Ok) << bad;
}

TEST(RemoteCommand, RefusesTooLongMessagesBeforeReadingThem) {
    QByteArray padded = R"({"t":"move","slot":1,"level":1})";
    padded.append(QByteArray(remote::MAX_COMMAND_BYTES, ' '));
    const auto p = ParseRemoteCommand(padded);
    EXPECT_FALSE(p.Ok);
    EXPECT_EQ(p.Error, QStringLiteral("message too long"));
    // A device name of 65 characters is one too many.
    const QByteArray name(remote::MAX_DEVICE_NAME + 1, 'x');
    EXPECT_FALSE(ParseRemoteCommand(R"({"t":"pair","code":"123456","device":")" + name + "\"}").Ok);
    EXPECT_TRUE(ParseRemoteCommand(R"({"t":"pair","code":"123456","device":")" +
                                   name.left(remote::MAX_DEVICE_NAME) + "\"}")
                    .Ok);
}
