#pragma once
// The reference host's command line.

#include <chrono>
#include <string>

#include <QString>
#include <QStringList>

namespace monitor {

struct Options {
    bool Json = false;
    long long Count = 0; // exit after this many messages; 0: never
    std::chrono::milliseconds ReplyDelay{0};
    bool NoReply = false;
    std::string Name; // endpoint name
};

// What main does after reading its arguments.
struct ParseOutcome {
    bool Run = true;
    int ExitCode = 0;
    QString Output; // for standard output
    QString Error;  // for standard error
    Options Parsed;
};

// The arguments as the program got them, its name first; defaultName is the
// endpoint used without --name.
ParseOutcome ParseArguments(const QStringList& arguments, const std::string& defaultName);

} // namespace monitor
