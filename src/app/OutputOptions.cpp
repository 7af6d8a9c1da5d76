#include "app/OutputOptions.h"

#include <QCommandLineParser>

void AddOutputOptions(QCommandLineParser& parser) {
    parser.addOption({QStringLiteral("sacn"),
                      QStringLiteral("Send the levels as sACN (E1.31) universe UNIVERSE, to its "
                                     "multicast group or to ADDRESS."),
                      QStringLiteral("UNIVERSE[@ADDRESS]")});
    parser.addOption({QStringLiteral("artnet"),
                      QStringLiteral("Send the levels as Art-Net to port address NET:SUB:UNI, at "
                                     "ADDRESS (unicast or directed broadcast)."),
                      QStringLiteral("NET:SUB:UNI[@ADDRESS]")});
    parser.addOption({QStringLiteral("ola"),
                      QStringLiteral("Send the levels to universe UNIVERSE of the local olad."),
                      QStringLiteral("UNIVERSE")});
}

QString ApplyOutputOptions(const QCommandLineParser& parser, TOutputSettings& settings) {
    TOutputSettings next = settings;
    std::string error;
    if (parser.isSet(QStringLiteral("sacn")))
        error = ApplySacnOption(parser.value(QStringLiteral("sacn")).toStdString(), next.sacn);
    if (error.empty() && parser.isSet(QStringLiteral("artnet")))
        error = ApplyArtNetOption(parser.value(QStringLiteral("artnet")).toStdString(), next.artnet);
    if (error.empty() && parser.isSet(QStringLiteral("ola")))
        error = ApplyOlaOption(parser.value(QStringLiteral("ola")).toStdString(), next.ola);
    if (!error.empty()) return QString::fromStdString(error);
    settings = next;
    return {};
}
