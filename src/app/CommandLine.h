#pragma once
// The desk's command line. Read before any window exists, so that --help and
// --version answer on a terminal without a display.

#include <optional>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include "output/OutputSettings.h"
#include "remote/RemoteAddress.h"
#include "surfaces/SurfaceSettings.h"

namespace app {

// What the program does after reading its arguments.
struct CommandLineOutcome {
    bool Run = true; // false: print and end with ExitCode
    int ExitCode = 0;
    QString Output; // for standard output
    QString Error;  // for standard error
};

class CommandLine {
public:
    CommandLine();

    // Options that other parts of the desk read (e.g. how frames leave it);
    // added before Parse.
    bool AddOption(const QCommandLineOption& option) { return parser_.addOption(option); }

    // The arguments as the program got them, its name first.
    CommandLineOutcome Parse(const QStringList& arguments);

    bool IsSet(const QString& name) const { return parser_.isSet(name); }
    QString Value(const QString& name) const { return parser_.value(name); }
    QString HelpText() const;
    // The layout file named on the command line, as given; empty when none.
    QString LayoutFile() const;
    // Turns on, for this run only, the network outputs given on the command line.
    void ApplyOutputsTo(TOutputSettings& settings) const;
    // Where --remote asks the server for phones and tablets to listen; none
    // when it is not given.
    std::optional<remote::TListenAddress> RemoteAddress() const;
    // Turns on, for this run only, the control surfaces given on the command line.
    void ApplySurfacesTo(TSurfaceSettings& settings) const;

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QCommandLineOption remote_;
};

// "vantrelle <version>" (the program's name, then VANTRELLE_VERSION): what
// --version prints.
QString VersionLine(const QString& program);

// True when the arguments ask for --help or --version, which the program
// answers before it opens the display.
bool AsksForHelpOrVersion(const QStringList& arguments);

} // namespace app
