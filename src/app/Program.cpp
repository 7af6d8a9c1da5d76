#include <QApplication>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/Main.h"
#include "dialogs/Artwork.h"
#include "dialogs/UnitReadme.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_TITLE));
    QApplication::setDesktopFileName(QStringLiteral("vantrelle"));

    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(DeskArtwork())));

    TCommandLine commandLine;
    if (!commandLine.Parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "vantrelle: %s\n\n%s", qPrintable(commandLine.Error()),
                     qPrintable(commandLine.HelpText()));
        return 2;
    }
    if (commandLine.HelpRequested()) {
        std::printf("%s", qPrintable(commandLine.HelpText()));
        return 0;
    }

    TMainForm form;
    form.SetOutputOverrides([&commandLine](TOutputSettings& s) { commandLine.ApplyTo(s); });
    TFormReadme readme; // created hidden, never shown
    FormReadme = &readme;
    form.show();
    return app.exec();
}
