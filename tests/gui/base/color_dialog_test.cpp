// The colour dialog's custom colours have one store, the CustomColors lines:
// whatever other Qt programs keep in the user's Qt settings is neither shown
// nor changed. Each test runs with a private home whose Qt settings file is
// seeded with other colours.

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "base/CommonDialogs.h"

namespace {

QTemporaryDir* PrivateHome() {
    static QTemporaryDir home;
    return &home;
}

QString QtSettingsFile() {
    return PrivateHome()->filePath(QStringLiteral("config/QtProject.conf"));
}

// Red, green and blue in slots 0–2, in Qt's own format.
const QByteArray kSeeded = "[Qt]\n"
                           "customColors\\0=4294901760\n"
                           "customColors\\1=4278255360\n"
                           "customColors\\2=4278190335\n";

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class ColorDialogTest : public QObject {
    Q_OBJECT

    // What the open dialog showed in its 16 custom slots.
    QList<TColor> shown_;

    // Runs Execute; while the dialog is open, records its custom colours,
    // lets `whileOpen` act on it and then closes it with `accept`.
    bool Execute(TColorDialog& d, bool accept,
                 const std::function<void(QColorDialog*)>& whileOpen = {}) {
        shown_.clear();
        bool seen = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* open = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (open == nullptr || seen) return;
            seen = true;
            for (int i = 0; i < 16; ++i)
                shown_ << FromQColor(QColorDialog::customColor(i));
            if (whileOpen) whileOpen(open);
            accept ? open->accept() : open->reject();
        });
        poll.start();
        const bool result = d.Execute(nullptr);
        poll.stop();
        [&] { QVERIFY(seen); }();
        return result;
    }

private slots:
    void init() {
        QVERIFY(QDir().mkpath(PrivateHome()->filePath(QStringLiteral("config"))));
        QFile f(QtSettingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(kSeeded), kSeeded.size());
    }

    void freshUserSeesSixteenWhiteSlots() {
        TColorDialog d(nullptr);
        QVERIFY(!Execute(d, false));
        QCOMPARE(shown_, QList<TColor>(16, clWhite));
        QCOMPARE(ReadAll(QtSettingsFile()), kSeeded);
    }

    void storedColoursAreShownAndMissingSlotsAreWhite() {
        TColorDialog d(nullptr);
        d.SetCustomColors({QStringLiteral("ColorA=0000FF"), QStringLiteral("colorc=123456"),
                           QStringLiteral("ColorP=00FF00"), QStringLiteral("ColorB=nonsense")});
        QVERIFY(!Execute(d, false));
        QList<TColor> expected(16, clWhite);
        expected[0] = 0x0000FF;
        expected[2] = 0x123456;
        expected[15] = 0x00FF00;
        QCOMPARE(shown_, expected);
    }

    void slotsLeftUnsetDoNotKeepAnEarlierDialogsColours() {
        TColorDialog first(nullptr);
        first.SetCustomColors({QStringLiteral("ColorD=ABCDEF")});
        QVERIFY(!Execute(first, false));
        TColorDialog second(nullptr);
        QVERIFY(!Execute(second, false));
        QCOMPARE(shown_, QList<TColor>(16, clWhite));
    }

    void aColourAddedInTheDialogGoesOnlyToTheList() {
        TColorDialog d(nullptr);
        d.SetColor(0x00FF00);
        QVERIFY(Execute(d, true, [](QColorDialog*) {
            QColorDialog::setCustomColor(5, ToQColor(TColor{0x010203}));
        }));
        QCOMPARE(d.Color(), TColor{0x00FF00});
        const QStringList lines = d.CustomColors();
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[0], QStringLiteral("ColorA=FFFFFF"));
        QCOMPARE(lines[5], QStringLiteral("ColorF=010203"));
        QCOMPARE(lines[15], QStringLiteral("ColorP=FFFFFF"));
        QCOMPARE(ReadAll(QtSettingsFile()), kSeeded);
        QVERIFY(
            !QFile::exists(PrivateHome()->filePath(QStringLiteral("config/QtProject.conf.lock"))));
    }

    void qtSettingsOfOtherUsesStayWhereTheyWere() {
        TColorDialog d(nullptr);
        QVERIFY(!Execute(d, false));
        // After the dialog, Qt's per-user settings are the user's file again.
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        QCOMPARE(QFileInfo(settings.fileName()).canonicalFilePath(),
                 QFileInfo(QtSettingsFile()).canonicalFilePath());
        QCOMPARE(settings.value(QStringLiteral("Qt/customColors/1")).toUInt(), 4278255360u);
    }
};

int main(int argc, char** argv) {
    // The private home must be in place before Qt first looks for settings.
    QTemporaryDir* home = PrivateHome();
    if (!home->isValid()) return 2;
    qputenv("HOME", home->path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home->filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    ColorDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "color_dialog_test.moc"
