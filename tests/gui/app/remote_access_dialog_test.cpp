// "Remote Access…": turning the server on and off from the dialog, a wrong
// address named and nothing started, the paired devices listed and revoked.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/RemoteAccessDialog.h"
#include "model/DeskModel.h"
#include "remote/RemoteServer.h"

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class RemoteAccessDialogTest : public QObject {
    Q_OBJECT
private slots:
    void wrongAddressIsNamedAndNothingStarts() {
        TDeskModel model;
        remote::TRemoteServer server(model);
        TRemoteAccessDialog dialog(server);
        QVERIFY(dialog.StateLabel->text().startsWith(QStringLiteral("Off")));
        dialog.OnBox->setChecked(true);
        dialog.AddressEdit->setText(QStringLiteral("desk:80"));
        dialog.Apply();
        QVERIFY(!server.Running());
        QVERIFY2(dialog.StateLabel->text().contains(QStringLiteral("'desk' is not an IP address")),
                 qPrintable(dialog.StateLabel->text()));
    }

    void turnsTheServerOnAndOff() {
        TDeskModel model;
        remote::TRemoteServer server(model);
        TRemoteAccessDialog dialog(server);
        const quint16 port = FreePort();
        dialog.OnBox->setChecked(true);
        dialog.AddressEdit->setText(QString::number(port));
        dialog.Apply();
        QVERIFY(server.Running());
        QCOMPARE(server.Listening().Address, QStringLiteral("127.0.0.1"));
        QVERIFY2(
            dialog.StateLabel->text().contains(QStringLiteral("http://127.0.0.1:%1/").arg(port)),
            qPrintable(dialog.StateLabel->text()));
        QCOMPARE(dialog.CodeLabel->text(), QStringLiteral("–")); // loopback pairs nobody
        dialog.OnBox->setChecked(false);
        dialog.Apply();
        QVERIFY(!server.Running());
        QVERIFY(dialog.StateLabel->text().startsWith(QStringLiteral("Off")));
    }

    void listsAndRevokesPairedDevices() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RemoteDevices.json"));
        remote::TPairing earlier;
        const remote::TPairAnswer phone =
            earlier.TryCode(earlier.Code(), QStringLiteral("Phone"), 0);
        const remote::TPairAnswer tablet =
            earlier.TryCode(earlier.Code(), QStringLiteral("Tablet"), 0);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(earlier.Save());
        }
        TDeskModel model;
        remote::TRemoteServer server(model);
        QCOMPARE(server.UseDevicesFile(path), QString());
        TRemoteAccessDialog dialog(server);
        QCOMPARE(dialog.DeviceList->topLevelItemCount(), 2);
        QCOMPARE(dialog.DeviceList->topLevelItem(0)->text(0), QStringLiteral("Phone"));
        QVERIFY(!dialog.RevokeButton->isEnabled());
        dialog.DeviceList->setCurrentItem(dialog.DeviceList->topLevelItem(0));
        QVERIFY(dialog.RevokeButton->isEnabled());
        dialog.RevokeButton->click();
        QCOMPARE(dialog.DeviceList->topLevelItemCount(), 1);
        QCOMPARE(dialog.DeviceList->topLevelItem(0)->text(0), QStringLiteral("Tablet"));
        // The file was written again without the phone.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        remote::TPairing later;
        QString error;
        QVERIFY(later.Load(f.readAll(), error));
        QVERIFY(later.DeviceOf(phone.Token).isEmpty());
        QCOMPARE(later.DeviceOf(tablet.Token), tablet.DeviceId);
    }

    void aDamagedDevicesFileIsNamedAndTrustsNobody() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RemoteDevices.json"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\"devices\":[{\"id\":\"x\"");
        }
        TDeskModel model;
        remote::TRemoteServer server(model);
        const QString message = server.UseDevicesFile(path);
        QVERIFY2(message.contains(path) && message.contains(QStringLiteral("no device is paired")),
                 qPrintable(message));
        QVERIFY(server.Pairing().Devices().isEmpty());
    }
};

QTEST_MAIN(RemoteAccessDialogTest)
#include "remote_access_dialog_test.moc"
