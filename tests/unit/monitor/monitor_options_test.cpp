// The reference host's command line: what each option sets, and what it refuses.

#include <QRegularExpression>
#include <gtest/gtest.h>

#include "MonitorOptions.h"
#include "core/Version.h"

namespace {

monitor::ParseOutcome Parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/vantrelle-monitor"));
    return monitor::ParseArguments(arguments, "THXMainForm");
}

void ExpectRefused(const QStringList& arguments, const char* mention) {
    const monitor::ParseOutcome o = Parse(arguments);
    EXPECT_FALSE(o.Run) << arguments.join(' ').toStdString();
    EXPECT_EQ(o.ExitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(o.Output.isEmpty());
    EXPECT_TRUE(o.Error.startsWith(QStringLiteral("vantrelle-monitor: ")));
    EXPECT_TRUE(o.Error.contains(QLatin1String(mention)))
        << o.Error.toStdString() << " does not mention " << mention;
}

} // namespace

TEST(MonitorOptions, NoArgumentsListenAtTheHostNameAndPrintLines) {
    const monitor::ParseOutcome o = Parse({});
    ASSERT_TRUE(o.Run);
    EXPECT_TRUE(o.Output.isEmpty());
    EXPECT_TRUE(o.Error.isEmpty());
    EXPECT_FALSE(o.Parsed.Json);
    EXPECT_FALSE(o.Parsed.NoReply);
    EXPECT_EQ(o.Parsed.Count, 0);
    EXPECT_EQ(o.Parsed.ReplyDelay.count(), 0);
    EXPECT_EQ(o.Parsed.Name, "THXMainForm");
}

TEST(MonitorOptions, EveryOptionReachesItsField) {
    const monitor::ParseOutcome o =
        Parse({QStringLiteral("--json"), QStringLiteral("--count"), QStringLiteral("12"),
               QStringLiteral("--delay-ms=250"), QStringLiteral("--no-reply"),
               QStringLiteral("--name"), QStringLiteral("OtherHost")});
    ASSERT_TRUE(o.Run) << o.Error.toStdString();
    EXPECT_TRUE(o.Parsed.Json);
    EXPECT_TRUE(o.Parsed.NoReply);
    EXPECT_EQ(o.Parsed.Count, 12);
    EXPECT_EQ(o.Parsed.ReplyDelay.count(), 250);
    EXPECT_EQ(o.Parsed.Name, "OtherHost");
}

TEST(MonitorOptions, HelpListsEveryOptionUnderTheProgramsName) {
    for (const QString& ask : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const monitor::ParseOutcome o = Parse({QStringLiteral("--json"), ask});
        EXPECT_FALSE(o.Run);
        EXPECT_EQ(o.ExitCode, 0);
        EXPECT_TRUE(o.Error.isEmpty());
        EXPECT_TRUE(o.Output.startsWith(QStringLiteral("Usage: vantrelle-monitor [options]\n")))
            << o.Output.toStdString();
        for (const char* option : {"--json", "--count <N>", "--delay-ms <N>", "--no-reply",
                                   "--name <CLASS>", "--help", "--version"})
            EXPECT_TRUE(o.Output.contains(QLatin1String(option))) << option;
    }
}

TEST(MonitorOptions, VersionPrintsTheNameAndTheDesksVersion) {
    for (const QString& ask : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const monitor::ParseOutcome o = Parse({ask});
        EXPECT_FALSE(o.Run);
        EXPECT_EQ(o.ExitCode, 0);
        EXPECT_EQ(o.Output, QStringLiteral("vantrelle-monitor ") +
                                QLatin1String(VANTRELLE_VERSION) + QLatin1Char('\n'));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^vantrelle-monitor \\d+\\.\\d\\d\\n$"))
                        .match(o.Output)
                        .hasMatch())
            << o.Output.toStdString();
    }
}

TEST(MonitorOptions, RefusesWhatItCannotUse) {
    ExpectRefused({QStringLiteral("--bogus")}, "bogus");
    ExpectRefused({QStringLiteral("--count")}, "count");
    ExpectRefused({QStringLiteral("--count"), QStringLiteral("-1")}, "-1");
    ExpectRefused({QStringLiteral("--count"), QStringLiteral("ten")}, "ten");
    ExpectRefused({QStringLiteral("--count"), QStringLiteral("+5")}, "+5");
    ExpectRefused({QStringLiteral("--count"), QStringLiteral("99999999999999999999")},
                  "99999999999999999999");
    ExpectRefused({QStringLiteral("--delay-ms"), QStringLiteral("2147483648")}, "2147483648");
    ExpectRefused({QStringLiteral("--name"), QString()}, "empty");
    ExpectRefused({QStringLiteral("stray")}, "stray");
}

TEST(MonitorOptions, TakesTheLargestCountAndDelay) {
    const monitor::ParseOutcome o =
        Parse({QStringLiteral("--count"), QStringLiteral("2147483647"),
               QStringLiteral("--delay-ms"), QStringLiteral("2147483647")});
    ASSERT_TRUE(o.Run) << o.Error.toStdString();
    EXPECT_EQ(o.Parsed.Count, 2147483647);
    EXPECT_EQ(o.Parsed.ReplyDelay.count(), 2147483647);
}
