// The desk's command line: --help and --version answer and end the program,
// anything it does not know is refused, and other parts can add options.

#include <QRegularExpression>
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "core/Version.h"

namespace {

QStringList Args(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/vantrelle"));
    return arguments;
}

} // namespace

TEST(CommandLine, NoArgumentsRunTheDesk) {
    app::CommandLine line;
    const app::CommandLineOutcome o = line.Parse(Args({}));
    EXPECT_TRUE(o.Run);
    EXPECT_EQ(o.ExitCode, 0);
    EXPECT_TRUE(o.Output.isEmpty());
    EXPECT_TRUE(o.Error.isEmpty());
}

TEST(CommandLine, HelpPrintsTheUsageUnderTheProgramsNameAndEnds) {
    for (const QString& ask : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        app::CommandLine line;
        const app::CommandLineOutcome o = line.Parse(Args({ask}));
        EXPECT_FALSE(o.Run);
        EXPECT_EQ(o.ExitCode, 0);
        EXPECT_TRUE(o.Error.isEmpty());
        EXPECT_TRUE(o.Output.startsWith(QStringLiteral("Usage: vantrelle [options] [file]\n")))
            << o.Output.toStdString();
        EXPECT_TRUE(o.Output.contains(QStringLiteral("-h, --help")));
        EXPECT_TRUE(o.Output.contains(QStringLiteral("-v, --version")));
    }
}

TEST(CommandLine, VersionPrintsTheNameAndVersionAndEnds) {
    for (const QString& ask : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        app::CommandLine line;
        const app::CommandLineOutcome o = line.Parse(Args({ask}));
        EXPECT_FALSE(o.Run);
        EXPECT_EQ(o.ExitCode, 0);
        EXPECT_EQ(o.Output, QStringLiteral("vantrelle ") + QLatin1String(VANTRELLE_VERSION) +
                                QLatin1Char('\n'));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^vantrelle \\d+\\.\\d\\d\\n$"))
                        .match(o.Output)
                        .hasMatch());
    }
}

TEST(CommandLine, UnknownOptionsAndStrayArgumentsAreRefused) {
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("-x")},
          QStringList{QStringLiteral("second.HXI"), QStringLiteral("first.HXI")}}) {
        app::CommandLine line;
        const app::CommandLineOutcome o = line.Parse(Args(bad));
        EXPECT_FALSE(o.Run) << bad.join(' ').toStdString();
        EXPECT_EQ(o.ExitCode, 2);
        EXPECT_TRUE(o.Output.isEmpty());
        EXPECT_TRUE(o.Error.startsWith(QStringLiteral("vantrelle: "))) << o.Error.toStdString();
        // The one refused is named: the option, or the second file.
        EXPECT_TRUE(o.Error.contains(QString(bad.constLast()).remove(QLatin1Char('-'))))
            << o.Error.toStdString();
        EXPECT_TRUE(o.Error.contains(QStringLiteral("vantrelle --help")));
    }
}

TEST(CommandLine, OneLayoutFileIsTakenAsGivenOrFromAFileUrl) {
    app::CommandLine none;
    ASSERT_TRUE(none.Parse(Args({})).Run);
    EXPECT_TRUE(none.LayoutFile().isEmpty());

    app::CommandLine path;
    const app::CommandLineOutcome o = path.Parse(Args({QStringLiteral("shows/Front Wash.hxi")}));
    ASSERT_TRUE(o.Run) << o.Error.toStdString();
    EXPECT_TRUE(o.Error.isEmpty());
    EXPECT_EQ(path.LayoutFile(), QStringLiteral("shows/Front Wash.hxi"));

    app::CommandLine url;
    ASSERT_TRUE(url.Parse(Args({QStringLiteral("file:///tmp/Front%20Wash.HXI")})).Run);
    EXPECT_EQ(url.LayoutFile(), QStringLiteral("/tmp/Front Wash.HXI"));

    // After "--" a name that looks like an option is a file.
    app::CommandLine dashed;
    ASSERT_TRUE(dashed.Parse(Args({QStringLiteral("--"), QStringLiteral("--odd.HXI")})).Run);
    EXPECT_EQ(dashed.LayoutFile(), QStringLiteral("--odd.HXI"));
}

TEST(CommandLine, AnAddedOptionIsReadAndListed) {
    app::CommandLine line;
    ASSERT_TRUE(line.AddOption(QCommandLineOption(
        QStringLiteral("target"), QStringLiteral("Where frames go."), QStringLiteral("NAME"))));
    const app::CommandLineOutcome o =
        line.Parse(Args({QStringLiteral("--target"), QStringLiteral("studio")}));
    ASSERT_TRUE(o.Run) << o.Error.toStdString();
    EXPECT_TRUE(line.IsSet(QStringLiteral("target")));
    EXPECT_EQ(line.Value(QStringLiteral("target")), QStringLiteral("studio"));
    EXPECT_TRUE(line.HelpText().contains(QStringLiteral("--target <NAME>")));
}

TEST(CommandLine, HelpOrVersionIsSeenBeforeTheDisplayOpens) {
    using app::AsksForHelpOrVersion;
    EXPECT_FALSE(AsksForHelpOrVersion(Args({})));
    EXPECT_TRUE(AsksForHelpOrVersion(Args({QStringLiteral("--help")})));
    EXPECT_TRUE(AsksForHelpOrVersion(Args({QStringLiteral("-v")})));
    EXPECT_TRUE(AsksForHelpOrVersion(
        Args({QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--version")})));
    EXPECT_FALSE(AsksForHelpOrVersion(Args({QStringLiteral("--"), QStringLiteral("--help")})));
    EXPECT_FALSE(AsksForHelpOrVersion(Args({QStringLiteral("--helpme")})));
    // The program's own name is not an argument.
    EXPECT_FALSE(AsksForHelpOrVersion({QStringLiteral("--help")}));
}

TEST(CommandLine, RemoteTakesAPortOrAnAddressAndPort) {
    {
        app::CommandLine line;
        EXPECT_FALSE(line.RemoteAddress().has_value()) << "off unless asked for";
        ASSERT_TRUE(line.Parse(Args({})).Run);
        EXPECT_FALSE(line.RemoteAddress().has_value());
    }
    {
        app::CommandLine line;
        ASSERT_TRUE(line.Parse(Args({QStringLiteral("--remote"), QStringLiteral("8080")})).Run);
        ASSERT_TRUE(line.RemoteAddress().has_value());
        EXPECT_EQ(line.RemoteAddress()->Address, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(line.RemoteAddress()->Port, 8080);
    }
    {
        app::CommandLine line;
        ASSERT_TRUE(line.Parse(Args({QStringLiteral("--remote=192.0.2.1:9000")})).Run);
        EXPECT_EQ(line.RemoteAddress()->Address, QStringLiteral("192.0.2.1"));
    }
    EXPECT_TRUE(app::CommandLine().HelpText().contains(QStringLiteral("--remote")));
}

TEST(CommandLine, RemoteRefusesWhatIsNotAnAddressAndPort) {
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--remote"), QStringLiteral("0")},
          QStringList{QStringLiteral("--remote"), QStringLiteral("70000")},
          QStringList{QStringLiteral("--remote"), QStringLiteral("desk:80")},
          QStringList{QStringLiteral("--remote")},
          QStringList{QStringLiteral("--remote=1"), QStringLiteral("--remote=2")}}) {
        app::CommandLine line;
        const app::CommandLineOutcome o = line.Parse(Args(bad));
        EXPECT_FALSE(o.Run) << bad.join(' ').toStdString();
        EXPECT_EQ(o.ExitCode, 2);
        EXPECT_TRUE(o.Error.contains(QStringLiteral("remote"))) << o.Error.toStdString();
        EXPECT_TRUE(o.Error.contains(QStringLiteral("vantrelle --help")));
    }
}

TEST(CommandLine, SurfaceOptionsTurnSurfacesOnForThisRun) {
    app::CommandLine line;
    const app::CommandLineOutcome o = line.Parse(
        Args({QStringLiteral("--midi"), QStringLiteral("Fader Box"), QStringLiteral("--midi-api"),
              QStringLiteral("alsa"), QStringLiteral("--osc"), QStringLiteral("9000")}));
    ASSERT_TRUE(o.Run) << o.Error.toStdString();
    TSurfaceSettings s;
    s.MidiOutput = "old";
    line.ApplySurfacesTo(s);
    EXPECT_TRUE(s.MidiEnabled);
    EXPECT_EQ(s.MidiInput, "Fader Box");
    EXPECT_EQ(s.MidiOutput, ""); // the input's name serves both
    EXPECT_EQ(s.MidiApi, TMidiApi::Alsa);
    EXPECT_TRUE(s.OscEnabled);
    EXPECT_EQ(s.OscAddress, "127.0.0.1");
    EXPECT_EQ(s.OscPort, 9000);

    app::CommandLine other;
    ASSERT_TRUE(other.Parse(Args({QStringLiteral("--osc"), QStringLiteral("10.1.2.3:53000")})).Run);
    TSurfaceSettings t;
    other.ApplySurfacesTo(t);
    EXPECT_EQ(t.OscAddress, "10.1.2.3");
    EXPECT_EQ(t.OscPort, 53000);
    EXPECT_FALSE(t.MidiEnabled);
}

TEST(CommandLine, BadSurfaceOptionsAreRefusedWithAClearMessage) {
    const struct {
        QStringList args;
        const char* words;
    } cases[] = {
        {{"--midi-api", "coremidi"}, "--midi-api must be alsa or jack, not 'coremidi'"},
        {{"--midi", " "}, "--midi needs a part of a MIDI port's name"},
        {{"--osc", "0"}, "--osc must be PORT or ADDRESS:PORT"},
        {{"--osc", "localhost:9000"}, "--osc must be PORT or ADDRESS:PORT"},
        {{"--osc", "1.2.3.4:65536"}, "--osc must be PORT or ADDRESS:PORT"},
    };
    for (const auto& c : cases) {
        app::CommandLine line;
        const app::CommandLineOutcome o = line.Parse(Args(c.args));
        EXPECT_FALSE(o.Run) << c.args.join(' ').toStdString();
        EXPECT_EQ(o.ExitCode, 2);
        EXPECT_TRUE(o.Error.contains(QLatin1String(c.words))) << o.Error.toStdString();
    }
}
