// The Readme window: its controls, reading "Readme.rtf" at every activation,
// the lookup order, and the errors when the file is missing or unreadable.

#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "HelpTestSupport.h"
#include "base/MessageBox.h"
#include "buttons/Buttons.h"
#include "dialogs/ReadmeFile.h"
#include "dialogs/ReadmeWindow.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

const QByteArray kRich = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Fader help\\b0\\par "
                         "Second line\\par}";

} // namespace

class ReadmeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAreAsDesigned();
    void activationReplacesEditsWithTheFile();
    void missingFileReportedAtEveryActivation();
    void lookupPrefersTheCurrentDirectoryThenTheProgram();
    void notRichTextFallsBackToPlainText();
    void unreadableAsTextReportsFailedToLoad();
    void closeButtonClosesAndFreesTheWindow();
    void shippedReadmeIsRichText();

private:
    QStringList errors_;
    QTemporaryDir dir_;
    QWidget other_;
};

void ReadmeTest::init() {
    errors_.clear();
    SetMessageBoxObserver([this](const QString& text, TMsgDlgType) { errors_ << text; });
    other_.resize(50, 50);
    other_.show();
}

void ReadmeTest::cleanup() {
    SetMessageBoxObserver({});
    ClearMessageBoxAnswers();
    QFile::remove(dir_.filePath(QStringLiteral("Readme.rtf")));
}

void ReadmeTest::controlsAreAsDesigned() {
    TReadmeWindow form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Readme"));
    // 640 by 480 with the title bar and frame, whatever the platform's title height.
    QCOMPARE(form.size(), QSize(640, 480));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // fixed size
    QCOMPARE(form.oxForm1->OuterSizeFor(form.Client()->size()), QSize(640, 480));
    QCOMPARE(form.font().family(), QStringLiteral("Arial"));
    const int clientHeight = form.Client()->height();
    QCOMPARE(form.RichEdit1->geometry(), QRect(0, 0, 632, clientHeight - 36));
    QCOMPARE(form.BitBtn1->geometry(), QRect(276, clientHeight - 30, 75, 26));
    QCOMPARE(form.RichEdit1->palette().color(QPalette::Base), QColor(255, 255, 0));
    QVERIFY(!form.RichEdit1->isReadOnly());
    QCOMPARE(form.RichEdit1->frameShape(), QFrame::NoFrame);
    QCOMPARE(form.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.BitBtn1->Caption(), QStringLiteral("&Close"));
    QCOMPARE(form.BitBtn1->Style(), ToxBtnStyle::bsWin97);
    QCOMPARE(form.BitBtn1->Background().Style(), ToxBackgroundStyle::oxbSolid);
    QCOMPARE(form.BitBtn1->Background().Color(), TColor{0x00CCC7AC});
    QCOMPARE(form.BitBtn1->PictureUp().size(), QSize(18, 18));
    QCOMPARE(form.BitBtn1->PictureDisabled().size(), QSize(18, 18));
    QCOMPARE(form.BitBtn1->PictureX(), 5);
    QCOMPARE(form.BitBtn1->TextX(), -11);
    QCOMPARE(form.oxForm1->Caption(), QStringLiteral("Readme"));
    QCOMPARE(form.oxForm1->ActiveGradient(), TColor{0x00FF4A4A});
    QCOMPARE(form.oxForm1->InactiveGradient(), clNavy);
    QCOMPARE(form.oxForm1->ActiveTextColor(), clWhite);
    QCOMPARE(form.oxForm1->InactiveTextColor(), clSilver);
    QCOMPARE(form.oxForm1->Options(),
             ToxfOptions{oxfActiveGradient | oxfInactiveGradient | oxfShowInTaskbar});
    QCOMPARE(form.windowType(), Qt::Window); // its own task-bar button
}

void ReadmeTest::activationReplacesEditsWithTheFile() {
    QVERIFY(WriteFile(dir_.filePath(QStringLiteral("Readme.rtf")), kRich));
    TReadmeWindow form;
    form.SearchDirs = [this] { return QStringList{dir_.path()}; };
    form.show();
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(form.RichEdit1->toPlainText(), QStringLiteral("Fader help\nSecond line"));
    helptest::SaveScreenshot(&form, QStringLiteral("readme-small"));

    form.RichEdit1->setFocus();
    QTest::keyClick(form.RichEdit1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form.RichEdit1, QStringLiteral(" edited"));
    QVERIFY(form.RichEdit1->toPlainText().endsWith(QStringLiteral("edited")));

    QVERIFY(helptest::Activate(&other_));
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(form.RichEdit1->toPlainText(), QStringLiteral("Fader help\nSecond line"));
    QVERIFY(errors_.isEmpty());
}

void ReadmeTest::missingFileReportedAtEveryActivation() {
    TReadmeWindow form;
    form.SearchDirs = [this] { return QStringList{dir_.path()}; };
    QueueMessageBoxAnswer(QMessageBox::Ok);
    QueueMessageBoxAnswer(QMessageBox::Ok);
    form.show();
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(errors_, QStringList{QStringLiteral("Cannot open file Readme.rtf")});
    QVERIFY(form.isVisible()); // stays open, empty
    QVERIFY(form.RichEdit1->toPlainText().isEmpty());

    QVERIFY(helptest::Activate(&other_));
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(errors_.size(), 2);
    QCOMPARE(errors_.last(), QStringLiteral("Cannot open file Readme.rtf"));
}

void ReadmeTest::lookupPrefersTheCurrentDirectoryThenTheProgram() {
    QTemporaryDir cwd;
    QTemporaryDir program;
    QTemporaryDir data;
    const QString name = QStringLiteral("Readme.rtf");
    QVERIFY(WriteFile(program.filePath(name), "program"));
    QVERIFY(WriteFile(data.filePath(name), "data"));
    const QStringList dirs{cwd.path(), program.path(), data.path()};
    QCOMPARE(FindFileIn(dirs, name), program.filePath(name));
    QVERIFY(WriteFile(cwd.filePath(name), "cwd"));
    QCOMPARE(FindFileIn(dirs, name), cwd.filePath(name));
    QFile::remove(cwd.filePath(name));
    QFile::remove(program.filePath(name));
    QCOMPARE(FindFileIn(dirs, name), data.filePath(name));
    QFile::remove(data.filePath(name));
    QCOMPARE(FindFileIn(dirs, name), name); // the error names what was sought
    QDir(cwd.path()).mkdir(name);           // a folder of that name is no file
    QCOMPARE(FindFileIn(dirs, name), name);

    // The real order: the current directory, then beside the program.
    const QStringList real = ReadmeSearchDirs();
    QVERIFY(real.size() >= 2);
    QCOMPARE(real.at(0), QDir::currentPath());
    QCOMPARE(real.at(1), QCoreApplication::applicationDirPath());
}

void ReadmeTest::notRichTextFallsBackToPlainText() {
    QVERIFY(WriteFile(dir_.filePath(QStringLiteral("Readme.rtf")), "Plain words\ncaf\xc3\xa9"));
    TReadmeWindow form;
    form.SearchDirs = [this] { return QStringList{dir_.path()}; };
    form.show();
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(form.RichEdit1->toPlainText(), QStringLiteral("Plain words\ncaf\u00e9"));
    QVERIFY(errors_.isEmpty());
}

void ReadmeTest::unreadableAsTextReportsFailedToLoad() {
    QVERIFY(WriteFile(dir_.filePath(QStringLiteral("Readme.rtf")), QByteArray("bin\0ary", 7)));
    TReadmeWindow form;
    form.SearchDirs = [this] { return QStringList{dir_.path()}; };
    QueueMessageBoxAnswer(QMessageBox::Ok);
    form.show();
    QVERIFY(helptest::Activate(&form));
    QTRY_COMPARE(errors_, QStringList{QStringLiteral("Failed to Load Stream")});
    QVERIFY(form.RichEdit1->toPlainText().isEmpty());
}

void ReadmeTest::closeButtonClosesAndFreesTheWindow() {
    QVERIFY(WriteFile(dir_.filePath(QStringLiteral("Readme.rtf")), kRich));
    QPointer<TReadmeWindow> form = new TReadmeWindow;
    form->SearchDirs = [this] { return QStringList{dir_.path()}; };
    form->show();
    QVERIFY(helptest::Activate(form));
    QTest::mouseClick(form->BitBtn1->Face(), Qt::LeftButton, {}, QPoint(37, 13));
    QTRY_VERIFY(form.isNull());
}

void ReadmeTest::shippedReadmeIsRichText() {
    const QString shipped = QStringLiteral(VANTRELLE_BIN_DIR "/Readme.rtf");
    QVERIFY2(QFile::exists(shipped), "Readme.rtf is not copied beside the programs");
    TReadmeWindow form;
    form.SearchDirs = [] { return QStringList{QStringLiteral(VANTRELLE_BIN_DIR)}; };
    form.show();
    QVERIFY(helptest::Activate(&form));
    QTRY_VERIFY(form.RichEdit1->document()->blockCount() > 40);
    const QString text = form.RichEdit1->toPlainText();
    for (const char* topic : {"Bump buttons", "Pages", "Key forwarding", "The host link",
                              "Release All Toggled Bump Buttons", "Stay On Top"})
        QVERIFY2(text.contains(QLatin1String(topic)), topic);
    QVERIFY(!text.contains(QLatin1String("\\par"))); // read as rich text, not shown raw
    QVERIFY(errors_.isEmpty());
    helptest::SaveScreenshot(&form, QStringLiteral("readme"));
}

QTEST_MAIN(ReadmeTest)
#include "readme_test.moc"
