// The window and a settings file it cannot use: the refusal is shown with
// the line and the value, every network output stays off, the file's CID is
// kept, and the file is left as it is until new settings replace it.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "base/MessageBox.h"
#include "output/OutputSet.h"
#include "persist/Persist.h"

class OutputsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void cleanup() {
        SetMessageBoxObserver(nullptr);
        ClearMessageBoxAnswers();
    }

    void aRefusedFileIsShownWithItsLineAndValueAndKept() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("DmxOutputs.ini"));
        const QByteArray refused = "cid=0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0\n"
                                   "sacn.enabled=1\n"
                                   "sacn.universe=0\n";
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(refused);
        }
        std::vector<RecordingEndpoint::Record> records;
        TMainWindow form(std::make_unique<RecordingEndpoint>(&records));
        form.PreferenceStore->SetProgramDirectory(dir.path());
        QString shown;
        SetMessageBoxObserver([&shown](const QString& text, TMsgDlgType) { shown = text; });
        QueueMessageBoxAnswer(QMessageBox::Ok);
        form.show();
        QTRY_VERIFY(!shown.isEmpty());
        QVERIFY2(shown.contains(QStringLiteral("line 3: sacn.universe=0: The sACN universe must be "
                                               "between 1 and 63999.")),
                 qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("DmxOutputs.ini.refused")), qPrintable(shown));
        QVERIFY(form.Outputs().Schedulers().empty());
        QCOMPARE(form.OutputSettings().cid, std::string("0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0"));
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), refused);
    }
};

QTEST_MAIN(OutputsWindowTest)
#include "outputs_window_test.moc"
