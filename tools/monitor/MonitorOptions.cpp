#include "MonitorOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "core/Version.h"

namespace monitor {
namespace {

constexpr char PROGRAM[] = "vantrelle-monitor";
// Largest count or delay taken: about 68 years of milliseconds at most.
constexpr long long kMaxNumber = 2'147'483'647;

bool ParseNumber(const QString& text, long long& out) {
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (!ok || v < 0 || v > kMaxNumber || text.startsWith(QLatin1Char('+'))) return false;
    out = v;
    return true;
}

ParseOutcome Failure(const QString& why) {
    ParseOutcome outcome;
    outcome.Run = false;
    outcome.ExitCode = 2;
    outcome.Error = QLatin1String(PROGRAM) + QStringLiteral(": ") + why +
                    QStringLiteral("\nTry '") + QLatin1String(PROGRAM) +
                    QStringLiteral(" --help'.\n");
    return outcome;
}

} // namespace

ParseOutcome ParseArguments(const QStringList& arguments, const std::string& defaultName) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reference host: listens where the desk looks for its host, answers every\n"
                       "sent message once it has handled it, and prints one line per message."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print these options and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version and exit."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print one JSON object per message."));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Exit after N messages."), QStringLiteral("N"));
    const QCommandLineOption delay(
        QStringLiteral("delay-ms"),
        QStringLiteral("Answer each sent message N ms late (a slow host)."), QStringLiteral("N"));
    const QCommandLineOption noReply(QStringLiteral("no-reply"),
                                     QStringLiteral("Never answer (a hung host)."));
    const QCommandLineOption name(
        QStringLiteral("name"),
        QStringLiteral("Endpoint name (default %1).").arg(QString::fromStdString(defaultName)),
        QStringLiteral("CLASS"));
    parser.addOptions({help, version, json, count, delay, noReply, name});

    if (!parser.parse(arguments)) return Failure(parser.errorText());
    ParseOutcome outcome;
    if (parser.isSet(help)) {
        static const QRegularExpression usage(QStringLiteral("^Usage: \\S+"));
        outcome.Run = false;
        outcome.Output =
            parser.helpText().replace(usage, QStringLiteral("Usage: ") + QLatin1String(PROGRAM));
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.Run = false;
        outcome.Output = QLatin1String(PROGRAM) + QLatin1Char(' ') +
                         QLatin1String(VANTRELLE_VERSION) + QLatin1Char('\n');
        return outcome;
    }
    if (!parser.positionalArguments().isEmpty())
        return Failure(QStringLiteral("unexpected argument '%1'")
                           .arg(parser.positionalArguments().constFirst()));
    Options& o = outcome.Parsed;
    o.Json = parser.isSet(json);
    o.NoReply = parser.isSet(noReply);
    o.Name = parser.isSet(name) ? parser.value(name).toStdString() : defaultName;
    if (o.Name.empty()) return Failure(QStringLiteral("the endpoint name is empty"));
    if (parser.isSet(count) && !ParseNumber(parser.value(count), o.Count))
        return Failure(QStringLiteral("--count wants a whole number from 0, not '%1'")
                           .arg(parser.value(count)));
    long long delayMs = 0;
    if (parser.isSet(delay) && !ParseNumber(parser.value(delay), delayMs))
        return Failure(QStringLiteral("--delay-ms wants a whole number from 0, not '%1'")
                           .arg(parser.value(delay)));
    o.ReplyDelay = std::chrono::milliseconds(delayMs);
    return outcome;
}

} // namespace monitor
