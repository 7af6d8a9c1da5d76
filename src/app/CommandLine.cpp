#include "app/CommandLine.h"

#include <QRegularExpression>
#include <QUrl>

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
               QStringLiteral("Print the version and exit.")),
      remote_(QStringLiteral("remote"),
              QStringLiteral("Serve the desk to phones and tablets at [ADDRESS:]PORT; a PORT "
                             "alone listens on 127.0.0.1. Pages from another address pair "
                             "with the code the desk shows."),
              QStringLiteral("[ADDRESS:]PORT")) {
    parser_.setApplicationDescription(
        QStringLiteral("DMX fader desk: 32 faders over the 512 channels of one universe,\n"
                       "handed to the host program as one frame per change."));
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(help_);
    parser_.addOption(version_);
    AddOutputOptions(parser_);
    AddSurfaceOptions(parser_);
    parser_.addOption(remote_);
    parser_.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("A layout (.HXI) to open instead of the last one."),
        QStringLiteral("[file]"));
}

QString CommandLine::LayoutFile() const {
    const QStringList files = parser_.positionalArguments();
    if (files.isEmpty()) return {};
    // A file manager may hand over a file: URL instead of a path.
    const QUrl url(files.constFirst());
    return url.isLocalFile() ? url.toLocalFile() : files.constFirst();
}

std::optional<remote::TListenAddress> CommandLine::RemoteAddress() const {
    if (!parser_.isSet(remote_)) return std::nullopt;
    remote::TListenAddress address;
    if (!remote::ParseListenAddress(parser_.value(remote_), address).isEmpty()) return std::nullopt;
    return address;
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
    // One layout at most: the desk shows one at a time.
    if (parser_.positionalArguments().size() > 1) {
        outcome.Run = false;
        outcome.ExitCode = 2;
        outcome.Error = program + QStringLiteral(": unexpected argument '") +
                        parser_.positionalArguments().at(1) + QStringLiteral("'\nTry '") + program +
                        QStringLiteral(" --help'.\n");
        return outcome;
    }
    TOutputSettings check;
    TSurfaceSettings surfaces;
    QString wrong = ApplyOutputOptions(parser_, check);
    if (wrong.isEmpty() && parser_.isSet(remote_)) {
        remote::TListenAddress address;
        if (parser_.values(remote_).size() > 1)
            wrong = QStringLiteral("--remote is given more than once");
        else if (const QString bad = remote::ParseListenAddress(parser_.value(remote_), address);
                 !bad.isEmpty())
            wrong = QStringLiteral("--remote: ") + bad;
    }
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
