#include "app/CommandLine.h"

#include <QRegularExpression>

#include "app/OutputOptions.h"
#include "app/SurfaceOptions.h"
#include "core/Version.h"

namespace app {

namespace {

constexpr char PROGRAM[] = "vantrelle";

} // namespace

QString VersionLine(const QString& program) {
    return program + QLatin1Char(' ') + QLatin1String(VANTRELLE_VERSION);
}

CommandLine::CommandLine()
    : help_({QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Print these options and exit.")),
      version_({QStringLiteral("v"), QStringLiteral("version")},
               QStringLiteral("Print the version and exit.")) {
    parser_.setApplicationDescription(
        QStringLiteral("DMX fader desk: 32 faders over the 512 channels of one universe,\n"
                       "handed to the host program as one frame per change."));
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(help_);
    parser_.addOption(version_);
    AddOutputOptions(parser_);
    AddSurfaceOptions(parser_);
}

void CommandLine::ApplyOutputsTo(TOutputSettings& settings) const {
    ApplyOutputOptions(parser_, settings);
}

void CommandLine::ApplySurfacesTo(TSurfaceSettings& settings) const {
    ApplySurfaceOptions(parser_, settings);
}

QString CommandLine::HelpText() const {
    // Without an application object Qt names the program "<executable_name>";
    // with one, by its full path. The manual page says "vantrelle".
    QString text = parser_.helpText();
    static const QRegularExpression usage(QStringLiteral("^Usage: \\S+"));
    text.replace(usage, QStringLiteral("Usage: ") + QLatin1String(PROGRAM));
    return text;
}

CommandLineOutcome CommandLine::Parse(const QStringList& arguments) {
    CommandLineOutcome outcome;
    const QString program = QLatin1String(PROGRAM);
    if (!parser_.parse(arguments)) {
        outcome.Run = false;
        outcome.ExitCode = 2;
        outcome.Error = program + QStringLiteral(": ") + parser_.errorText() +
                        QStringLiteral("\nTry '") + program + QStringLiteral(" --help'.\n");
        return outcome;
    }
    if (parser_.isSet(help_)) {
        outcome.Run = false;
        outcome.Output = HelpText();
        return outcome;
    }
    if (parser_.isSet(version_)) {
        outcome.Run = false;
        outcome.Output = VersionLine(program) + QLatin1Char('\n');
        return outcome;
    }
    if (!parser_.positionalArguments().isEmpty()) {
        outcome.Run = false;
        outcome.ExitCode = 2;
        outcome.Error = program + QStringLiteral(": unexpected argument '") +
                        parser_.positionalArguments().constFirst() + QStringLiteral("'\nTry '") +
                        program + QStringLiteral(" --help'.\n");
        return outcome;
    }
    TOutputSettings check;
    TSurfaceSettings surfaces;
    QString wrong = ApplyOutputOptions(parser_, check);
    if (wrong.isEmpty()) wrong = ApplySurfaceOptions(parser_, surfaces);
    if (!wrong.isEmpty()) {
        outcome.Run = false;
        outcome.ExitCode = 2;
        outcome.Error = program + QStringLiteral(": ") + wrong + QStringLiteral("\nTry '") +
                        program + QStringLiteral(" --help'.\n");
    }
    return outcome;
}

bool AsksForHelpOrVersion(const QStringList& arguments) {
    static const QStringList asks{QStringLiteral("-h"),        QStringLiteral("--help"),
                                  QStringLiteral("-help"),     QStringLiteral("-v"),
                                  QStringLiteral("--version"), QStringLiteral("-version")};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--")) return false;
        if (asks.contains(arguments[i])) return true;
    }
    return false;
}

} // namespace app
