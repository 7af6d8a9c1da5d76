#include <QApplication>

#include "app/Main.h"
#include "base/FontFallbacks.h"
#include "dialogs/Artwork.h"
#include "dialogs/UnitReadme.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_TITLE));
    QApplication::setDesktopFileName(QStringLiteral("vantrelle"));
    // Before the first widget: the faces the desk names resolve once, not per font.
    InstallFontFallbacks();

    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(DeskArtwork())));

    TMainForm form;
    TFormReadme readme; // created hidden, never shown
    FormReadme = &readme;
    form.show();
    return app.exec();
}
