#pragma once
// The desk's command line: --help, and the network outputs for this run
// (--sacn UNIVERSE[@ADDRESS], --artnet NET:SUB:UNI[@ADDRESS], --ola UNIVERSE).

#include "output/OutputSettings.h"

#include <QCommandLineParser>
#include <QStringList>

class TCommandLine {
public:
    TCommandLine();
    // False with Error() set when an option or its value is wrong; --help is
    // answered by the caller through HelpText().
    bool Parse(const QStringList& arguments);
    bool HelpRequested() const;
    QString HelpText() const { return m_parser.helpText(); }
    QString Error() const { return m_error; }
    // Applies the output options to settings read from the file.
    void ApplyTo(TOutputSettings& settings) const;

private:
    QCommandLineParser m_parser;
    QString m_error;
};
