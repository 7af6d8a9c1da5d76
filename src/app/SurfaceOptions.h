#pragma once
// The control surfaces' command-line options: --midi NAME (a part of the
// port's name), --midi-api alsa|jack, --osc [ADDRESS:]PORT. They turn
// surfaces on for this run only; the settings file is left as it is.

#include <QString>

#include "surfaces/SurfaceSettings.h"

class QCommandLineParser;

void AddSurfaceOptions(QCommandLineParser& parser);
// Empty when every given option was right; else a message for the user.
QString ApplySurfaceOptions(const QCommandLineParser& parser, TSurfaceSettings& settings);
