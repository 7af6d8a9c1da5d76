#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/StopSignals.h"
#include "base/DeskStyle.h"
#include "base/FontConfigWarmUp.h"
#include "base/FontFallbacks.h"
#include "dialogs/ReadmeWindow.h"

namespace {

// Prints what the command line answered; true when the desk should run.
bool Answered(const app::CommandLineOutcome& outcome) {
    std::fputs(outcome.Output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.Error.toLocal8Bit().constData(), stderr);
    return !outcome.Run;
}

// The launcher's icon in every size it comes in (data/icons, built in), so
// that the window and the launcher show the same picture.
QIcon LauncherIcon() {
    QIcon icon;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.png")}))
        icon.addFile(QStringLiteral(":/icons/") + file);
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    app::CommandLine commandLine;
    // --help and --version answer on a terminal without a display. Anything
    // else waits for QApplication, which takes its own options (-platform,
    // -style...) out of the list first.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (app::AsksForHelpOrVersion(arguments)) {
        const app::CommandLineOutcome early = commandLine.Parse(arguments);
        if (early.ExitCode == 0 && Answered(early)) return 0;
    }

    TFontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_TITLE));
    QApplication::setDesktopFileName(QStringLiteral("vantrelle"));
    TDeskStyle::Install();
    // From here a stop signal closes the desk properly; one that comes before
    // the window exists waits in the pipe until the event loop runs.
    TStopSignals stopSignals;
    const app::CommandLineOutcome outcome = commandLine.Parse(QCoreApplication::arguments());
    if (Answered(outcome)) return outcome.ExitCode;
    // Before the first widget: the faces the desk names resolve once, not per font.
    InstallFontFallbacks(fontConfig.Wait());

    TMainWindow form;
    QObject::connect(&stopSignals, &TStopSignals::StopRequested, &form, [&form] {
        form.CloseWithoutQuestion();
        // Ends any dialog's loop too, so an open dialog cannot hold the desk.
        QCoreApplication::exit(0);
    });
    form.SetOutputOverrides([&commandLine](TOutputSettings& s) { commandLine.ApplyOutputsTo(s); });
    form.SetStartLayout(commandLine.LayoutFile());
    form.SetRemoteAddress(commandLine.RemoteAddress());
    form.SetSurfaceOverrides(
        [&commandLine](TSurfaceSettings& s) { commandLine.ApplySurfacesTo(s); });
    // Made once the window is up, as nothing of the start needs them: the icon
    // (the window manager takes it whenever it comes; the dialogs that draw it
    // come later), and the readme form, created hidden and never shown.
    std::unique_ptr<TReadmeWindow> readme;
    QTimer::singleShot(0, &form, [&readme] {
        QApplication::setWindowIcon(LauncherIcon());
        readme = std::make_unique<TReadmeWindow>();
        FormReadme = readme.get();
    });
    form.show();
    return app.exec();
}
