#pragma once
// The outputs' command-line options: --sacn UNIVERSE[@ADDRESS],
// --artnet NET:SUB:UNI[@ADDRESS], --ola UNIVERSE. They turn outputs on for
// this run only; the settings file is left as it is.

#include "output/OutputSettings.h"

#include <QString>

class QCommandLineParser;

void AddOutputOptions(QCommandLineParser& parser);
// Empty when every given option was right; else a message for the user.
QString ApplyOutputOptions(const QCommandLineParser& parser, TOutputSettings& settings);
