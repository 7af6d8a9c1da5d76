#include <QApplication>

#include "app/Main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_TITLE));
    QApplication::setDesktopFileName(QStringLiteral("vantrelle"));

    TMainForm form;
    MainForm = &form;
    form.show();
    return app.exec();
}
