// Shows sliders with the fader bank's look beside one with the library's own
// defaults, so the drawing can be looked at and compared as a screenshot.

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "bank/FaderLook.h"
#include "slider/VSlider.h"

namespace {

TSkVSlider* AddColumn(QHBoxLayout* row, const QString& title, QSize size) {
    auto* column = new QVBoxLayout;
    auto* label = new QLabel(title);
    label->setAlignment(Qt::AlignHCenter);
    column->addWidget(label);
    auto* slider = new TSkVSlider;
    slider->setFixedSize(size);
    column->addWidget(slider, 0, Qt::AlignHCenter);
    column->addStretch();
    row->addLayout(column);
    return slider;
}

TSkVSlider* AddFader(QHBoxLayout* row, const QString& title, bool gradient, int digit,
                     const QString& name1, const QString& name2) {
    TSkVSlider* s = AddColumn(row, title, QSize(63, 210));
    ApplyFaderLook(*s, gradient);
    s->SignalSettings()->SetName1(name1);
    s->SignalSettings()->SetName2(name2);
    s->SetColorNonFocus(clGray); // a channel's fader colour as a new layout has it
    s->SetDigit(digit);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantrelle-slider-gallery"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vantrelle slider gallery"));
    parser.addHelpOption();
    const QCommandLineOption shot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a PNG picture of the window and quit."),
                                  QStringLiteral("file"));
    parser.addOption(shot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vantrelle slider gallery"));
    auto* row = new QHBoxLayout(&window);
    AddFader(row, QStringLiteral("Fader"), false, 128, QStringLiteral("Front"),
             QStringLiteral("Wash"));
    AddFader(row, QStringLiteral("Gradient"), true, 255, QStringLiteral("Spot 1"),
             QStringLiteral("Dimmer"));
    TSkVSlider* focused = AddFader(row, QStringLiteral("Focus"), false, 64, QStringLiteral("Back"),
                                   QStringLiteral("Red"));
    TSkVSlider* disabled = AddFader(row, QStringLiteral("Disabled"), false, 0,
                                    QStringLiteral("Haze"), QStringLiteral("Fan"));
    disabled->SetEnabled(false);
    TSkVSlider* library = AddColumn(row, QStringLiteral("Library"), QSize(110, 260));
    library->Loaded();
    library->SetDigit(350);

    window.show();
    window.activateWindow();
    focused->setFocus();
    if (parser.isSet(shot)) {
        // Once the window is active the focused fader shows its focus colour.
        const QString file = parser.value(shot);
        QElapsedTimer waited;
        waited.start();
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            if (!window.isActiveWindow() && waited.elapsed() < 2000) return;
            poll->stop();
            focused->setFocus();
            QCoreApplication::processEvents();
            const bool saved = window.grab().save(file, "PNG");
            if (!saved) qWarning("Cannot write %s", qPrintable(file));
            QApplication::exit(saved ? 0 : 1);
        });
        poll->start(10);
    }
    return app.exec();
}
