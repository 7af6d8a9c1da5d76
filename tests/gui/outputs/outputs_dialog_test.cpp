// The "DMX Outputs" dialog refuses bad input with a message and applies
// nothing; good input comes back whole. The status label follows the states.
// The command-line options reach the same checks.

#include "app/OutputOptions.h"
#include "base/MessageBox.h"
#include "dialogs/OutputStatusLabel.h"
#include "dialogs/OutputsDialog.h"

#include <QCheckBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QtTest>

class OutputsDialogTest : public QObject {
    Q_OBJECT

    QStringList m_messages;

    template <typename T>
    static T* Find(QWidget& dialog, const char* name) {
        T* w = dialog.findChild<T*>(QLatin1String(name));
        if (!w) qFatal("no widget %s", name);
        return w;
    }

    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

private slots:
    void init() {
        m_messages.clear();
        RequireQueuedAnswers(true);
        SetMessageBoxObserver([this](const QString& text, TMsgDlgType) { m_messages << text; });
    }
    void cleanup() {
        ClearMessageBoxAnswers();
        SetMessageBoxObserver({});
    }

    void networkOutputsStartOff() {
        TOutputsDialog dialog{TOutputSettings{}};
        QVERIFY(Find<QCheckBox>(dialog, "hostLinkOn")->isChecked());
        QVERIFY(!Find<QCheckBox>(dialog, "sacnOn")->isChecked());
        QVERIFY(!Find<QCheckBox>(dialog, "artnetOn")->isChecked());
        QVERIFY(!Find<QCheckBox>(dialog, "olaOn")->isChecked());
    }

    void badInputIsNamedAndNotApplied_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("universe zero") << "sacnUniverse"
                                       << "0"
                                       << "between 1 and 63999";
        QTest::newRow("universe word") << "sacnUniverse"
                                       << "one"
                                       << "whole number";
        QTest::newRow("address") << "sacnAddress"
                                 << "192.0.2"
                                 << "not an IPv4 address";
        QTest::newRow("host name") << "artnetAddress"
                                   << "lights.local"
                                   << "not an IPv4 address";
        QTest::newRow("priority") << "sacnPriority"
                                  << "201"
                                  << "between 0 and 200";
        QTest::newRow("sub-net") << "artnetSubNet"
                                 << "16"
                                 << "between 0 and 15";
        QTest::newRow("olad port") << "olaPort"
                                   << "70000"
                                   << "between 1 and 65535";
        QTest::newRow("OLA universe too large") << "olaUniverse"
                                                << "99999999999"
                                                << "The OLA universe must be between 0 and "
                                                   "2147483647.";
        QTest::newRow("sACN to nowhere") << "sacnAddress"
                                         << "0.0.0.0"
                                         << "must be a receiver's address, not 0.0.0.0";
        QTest::newRow("Art-Net to nowhere") << "artnetAddress"
                                            << "0.0.0.0"
                                            << "must be a receiver's address, not 0.0.0.0";
    }
    void badInputIsNamedAndNotApplied() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TOutputsDialog dialog{TOutputSettings{}};
        dialog.show();
        QTest::mouseClick(Find<QCheckBox>(dialog, "sacnOn"), Qt::LeftButton, {}, QPoint(5, 5));
        Type(Find<QLineEdit>(dialog, field.toLatin1().constData()), text);
        QueueMessageBoxAnswer(QMessageBox::Ok);
        dialog.accept();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.front().contains(message), qPrintable(m_messages.front()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        QVERIFY2(!dialog.Settings().sacn.enabled, "nothing applied");
    }

    void goodInputIsAppliedWhole() {
        TOutputSettings start;
        start.cid = "0f1e2d3c-4b5a-4978-8796-a5b4c3d2e1f0";
        TOutputsDialog dialog{start};
        dialog.show();
        QTest::mouseClick(Find<QCheckBox>(dialog, "sacnOn"), Qt::LeftButton, {}, QPoint(5, 5));
        Type(Find<QLineEdit>(dialog, "sacnUniverse"), QStringLiteral("12"));
        Type(Find<QLineEdit>(dialog, "sacnAddress"), QStringLiteral("127.0.0.1"));
        QTest::mouseClick(Find<QCheckBox>(dialog, "olaOn"), Qt::LeftButton, {}, QPoint(5, 5));
        Type(Find<QLineEdit>(dialog, "olaUniverse"), QStringLiteral("4"));
        dialog.accept();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const TOutputSettings& s = dialog.Settings();
        QVERIFY(s.sacn.enabled);
        QCOMPARE(s.sacn.universe, 12);
        QCOMPARE(s.sacn.address, std::string("127.0.0.1"));
        QVERIFY(s.ola.enabled);
        QCOMPARE(s.ola.universe, 4);
        QVERIFY(!s.artnet.enabled);
        QCOMPARE(s.cid, start.cid);
    }

    void statusLabelShowsEachStateAndHidesWithoutOutputs() {
        std::vector<TOutputStatus> states;
        TOutputStatusLabel label([&] { return states; });
        label.show();
        label.Refresh();
        QVERIFY(label.isHidden());
        states = {{"sACN", TOutputState::Sending}, {"OLA", TOutputState::DaemonNotReachable}};
        label.Refresh();
        QVERIFY(label.isVisible());
        QCOMPARE(label.text(), QStringLiteral("sACN: sending  OLA: daemon not reachable"));
        states = {{"Art-Net", TOutputState::NoNetwork}};
        QTRY_COMPARE(label.text(), QStringLiteral("Art-Net: no network")); // by its own timer
    }

    void commandLineOptionsTurnOutputsOn() {
        QCommandLineParser parser;
        AddOutputOptions(parser);
        QVERIFY(parser.parse(
            {"vantrelle", "--sacn", "1@127.0.0.1", "--artnet", "0:0:1", "--ola", "2"}));
        TOutputSettings s;
        QCOMPARE(ApplyOutputOptions(parser, s), QString());
        QVERIFY(s.sacn.enabled && s.artnet.enabled && s.ola.enabled);
        QCOMPARE(s.sacn.address, std::string("127.0.0.1"));
        QCOMPARE(s.ola.universe, 2);

        QCommandLineParser bad;
        AddOutputOptions(bad);
        QVERIFY(bad.parse({"vantrelle", "--sacn", "0"}));
        TOutputSettings t;
        QVERIFY(ApplyOutputOptions(bad, t).contains(QStringLiteral("63999")));
        QVERIFY(!t.sacn.enabled);
        QVERIFY(parser.helpText().contains(QStringLiteral("--artnet <NET:SUB:UNI[@ADDRESS]>")));
    }
};

QTEST_MAIN(OutputsDialogTest)
#include "outputs_dialog_test.moc"
