#include "app/SurfaceOptions.h"

#include <QCommandLineParser>

void AddSurfaceOptions(QCommandLineParser& parser) {
    parser.addOption({QStringLiteral("midi"),
                      QStringLiteral("Take a MIDI control surface whose port name contains NAME, "
                                     "with feedback to its output port of that name."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("midi-api"),
                      QStringLiteral("Reach MIDI ports through the ALSA sequencer or JACK "
                                     "(default: jack)."),
                      QStringLiteral("alsa|jack")});
    parser.addOption({QStringLiteral("osc"),
                      QStringLiteral("Listen for OSC on UDP PORT of ADDRESS (default 127.0.0.1)."),
                      QStringLiteral("[ADDRESS:]PORT")});
}

QString ApplySurfaceOptions(const QCommandLineParser& parser, TSurfaceSettings& settings) {
    TSurfaceSettings next = settings;
    if (parser.isSet(QStringLiteral("midi"))) {
        const QString name = parser.value(QStringLiteral("midi"));
        if (name.trimmed().isEmpty())
            return QStringLiteral("--midi needs a part of a MIDI port's name");
        if (name.size() > 200) return QStringLiteral("--midi: the name is too long");
        next.MidiEnabled = true;
        next.MidiInput = name.toStdString();
        next.MidiOutput.clear();
    }
    if (parser.isSet(QStringLiteral("midi-api"))) {
        const QString api = parser.value(QStringLiteral("midi-api"));
        if (api == QLatin1String("alsa"))
            next.MidiApi = TMidiApi::Alsa;
        else if (api == QLatin1String("jack"))
            next.MidiApi = TMidiApi::Jack;
        else
            return QStringLiteral("--midi-api must be alsa or jack, not '%1'").arg(api);
    }
    if (parser.isSet(QStringLiteral("osc"))) {
        const QString value = parser.value(QStringLiteral("osc"));
        std::string address;
        int port = 0;
        if (!ParseHostPort(value.toStdString(), address, port))
            return QStringLiteral("--osc must be PORT or ADDRESS:PORT (an IPv4 address and a port "
                                  "1 to 65535), not '%1'")
                .arg(value);
        next.OscEnabled = true;
        next.OscAddress = address;
        next.OscPort = port;
    }
    settings = next;
    return {};
}
