// The control surfaces in the window: a bad settings file refused in the
// window with its line, OSC moving the desk through the window's queue with
// refused datagrams counted in the status corner, and the soft-takeover
// marker drawn on a fader.

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "FreeUdpPort.h"
#include "OscInt.h"
#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/SurfacesDialog.h"
#include "bank/BankView.h"
#include "bank/Fader.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"
#include "surfaceio/OscSurface.h"

namespace {

void SendTo(int port, const QByteArray& datagram) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<quint16>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(fd, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
             reinterpret_cast<sockaddr*>(&to), sizeof to);
    ::close(fd);
}

} // namespace

class SurfacesWindowTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    QTemporaryDir preferences_;
    QStringList shown_;

    std::unique_ptr<TMainWindow> MakeForm() {
        records_.clear();
        auto form = std::make_unique<TMainWindow>(std::make_unique<RecordingEndpoint>(&records_));
        form->PreferenceStore->SetProgramDirectory(preferences_.path());
        return form;
    }
    int LastLevel(int channel) const {
        for (auto it = records_.rbegin(); it != records_.rend(); ++it)
            if (it->Payload.size() >= 512)
                return it->Payload[static_cast<std::size_t>(channel - 1)];
        return -1;
    }

private slots:
    void initTestCase() {
        RequireQueuedAnswers(true);
        SetMessageBoxObserver([this](const QString& text, TMsgDlgType) { shown_ << text; });
    }
    void init() {
        ClearMessageBoxAnswers();
        shown_.clear();
        QFile::remove(preferences_.filePath(QStringLiteral("Surfaces.dat")));
    }

    void aBadSettingsFileIsRefusedInTheWindowNamingItsLine() {
        QFile file(preferences_.filePath(QStringLiteral("Surfaces.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# mine\nosc.enabled=1\nosc.port=99999\n");
        file.close();
        QueueMessageBoxAnswer(QMessageBox::Ok);
        auto form = MakeForm();
        form->show();
        QTRY_COMPARE(shown_.size(), 1);
        QVERIFY2(shown_[0].contains(QStringLiteral("Surfaces.dat: line 3: bad value for "
                                                   "\"osc.port\"")),
                 qPrintable(shown_[0]));
        QVERIFY(form->OscSurface() == nullptr);  // nothing of the file was used
        QVERIFY(QFile::exists(file.fileName())); // kept for the user to mend
    }

    void aMalformedProfileIsRefusedInTheWindowNamingItsLine() {
        QDir(preferences_.path()).mkpath(QStringLiteral("surfaces"));
        QFile profile(preferences_.filePath(QStringLiteral("surfaces/bad.profile")));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write("faders 8\nfader 1 cc 1 7\nfader 2 cc 1 7\n");
        profile.close();
        QFile file(preferences_.filePath(QStringLiteral("Surfaces.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("midi.enabled=1\nmidi.input=anything\nmidi.profile=bad.profile\n");
        file.close();
        QueueMessageBoxAnswer(QMessageBox::Ok);
        auto form = MakeForm();
        form->show();
        QTRY_COMPARE(shown_.size(), 1);
        QVERIFY2(shown_[0].contains(
                     QStringLiteral("bad.profile: line 3: the message is used on line 2 already")),
                 qPrintable(shown_[0]));
        QVERIFY(form->MidiSurface() == nullptr);
        QFile::remove(profile.fileName());
    }

    void oscMovesTheDeskAndRefusedDatagramsAreCounted() {
        const int port = FreeUdpPort();
        auto form = MakeForm();
        form->SetSurfaceOverrides([port](TSurfaceSettings& s) {
            s.OscEnabled = true;
            s.OscPort = port;
        });
        form->show();
        QTRY_VERIFY(form->Model().Ready());
        QVERIFY(form->OscSurface() != nullptr);
        SendTo(port, OscInt("/vantrelle/fader/2", 300)); // out of range: dropped
        SendTo(port, OscInt("/vantrelle/fader/2", 99));
        QTRY_COMPARE(LastLevel(2), 99);
        QTRY_COMPARE(form->OscSurface()->Dropped(), 1LL);
        auto* status = form->MenuBar->findChild<QLabel*>(QStringLiteral("SurfaceStatus"));
        QVERIFY(status != nullptr);
        QTRY_VERIFY2(status->text().contains(QStringLiteral("1 dropped")),
                     qPrintable(status->text()));
        QVERIFY(status->isVisible());
    }

    void aMidiApiThatCannotBeReachedIsNamedInTheStatusCorner() {
        if (QFile::exists(QStringLiteral("/dev/snd/seq"))) QSKIP("an ALSA sequencer is here");
        auto form = MakeForm();
        form->SetSurfaceOverrides([](TSurfaceSettings& s) {
            s.MidiEnabled = true;
            s.MidiApi = TMidiApi::Alsa;
            s.MidiInput = "Fader Box";
        });
        form->show();
        QTRY_VERIFY(form->Model().Ready());
        auto* status = form->MenuBar->findChild<QLabel*>(QStringLiteral("SurfaceStatus"));
        QVERIFY(status != nullptr);
        QTRY_COMPARE(status->text(),
                     QStringLiteral("MIDI: No ALSA sequencer on this machine (/dev/snd/seq is "
                                    "missing)"));
        QVERIFY(status->isVisible());
        QVERIFY(status->toolTip().contains(QStringLiteral("Generic")));
    }

    void theDialogReadsBackWhatItShowsAndRefusesBadFields() {
        TSurfaceSettings start;
        start.MidiEnabled = true;
        start.MidiInput = "Fader Box";
        start.OscEnabled = true;
        start.OscPort = 9100;
        start.OscFeedback = "127.0.0.1:9101";
        TSurfacesDialog dialog(start, {QStringLiteral("eight-motorised.profile")});
        // The picture in the README, when asked for.
        if (const QByteArray dir = qgetenv("VANTRELLE_SCREENSHOT_DIR"); !dir.isEmpty()) {
            dialog.show();
            QTest::qWait(100);
            dialog.grab().save(QString::fromLocal8Bit(dir) +
                               QStringLiteral("/surfaces-dialog.png"));
        }
        TSurfaceSettings read;
        QCOMPARE(dialog.Read(read), QString());
        QCOMPARE(read, start);
        // The API's state is said in words (no ALSA sequencer here, or the ports found).
        QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("MidiApiState"))->text().isEmpty());

        auto* port = dialog.findChild<QLineEdit*>(QStringLiteral("OscPort"));
        port->setText(QStringLiteral("70000"));
        QVERIFY(dialog.Read(read).contains(QStringLiteral("port from 1 to 65535")));
        QCOMPARE(read, start); // nothing taken from a refused form
        port->setText(QStringLiteral("9100"));
        dialog.findChild<QLineEdit*>(QStringLiteral("OscAddress"))->setText(QStringLiteral("host"));
        QVERIFY(!dialog.Read(read).isEmpty());
        dialog.findChild<QLineEdit*>(QStringLiteral("OscAddress"))
            ->setText(QStringLiteral("127.0.0.1"));
        dialog.findChild<QLineEdit*>(QStringLiteral("OscFeedback"))->setText(QStringLiteral("x:1"));
        QVERIFY(dialog.Read(read).contains(QStringLiteral("ADDRESS:PORT")));
        dialog.findChild<QLineEdit*>(QStringLiteral("OscFeedback"))->clear();
        dialog.findChild<QComboBox*>(QStringLiteral("MidiInput"))->setEditText(QString());
        QVERIFY(dialog.Read(read).contains(QStringLiteral("MIDI input port")));
        dialog.findChild<QCheckBox*>(QStringLiteral("MidiOn"))->setChecked(false);
        dialog.findChild<QComboBox*>(QStringLiteral("MidiProfile"))->setCurrentIndex(1);
        QCOMPARE(dialog.Read(read), QString());
        QVERIFY(!read.MidiEnabled);
        QCOMPARE(read.Profile, std::string("eight-motorised.profile"));
        QCOMPARE(read.OscFeedback, std::string());
    }

    void theTakeoverMarkerIsDrawnBesideTheTrench() {
        auto form = MakeForm();
        form->show();
        QTRY_VERIFY(form->Model().Ready());
        TFader* fader = form->Bank().FaderAt(1);
        QVERIFY(fader != nullptr);
        const QImage plain = fader->grab().toImage();
        fader->SetTakeoverMarker(200);
        const QImage marked = fader->grab().toImage();
        QVERIFY(plain != marked);
        // The marker stands where level 200 is: the changed rows sit in the
        // upper part of the trench.
        int top = marked.height(), bottom = -1;
        for (int y = 0; y < marked.height(); ++y)
            for (int x = 0; x < marked.width(); ++x)
                if (marked.pixel(x, y) != plain.pixel(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        const TSkRect& trench = fader->TrenchRect();
        const int y200 = trench.Bottom - 1 - 200 * (trench.Height() - 1) / 255;
        QVERIFY2(top <= y200 && y200 <= bottom,
                 qPrintable(QStringLiteral("%1..%2 vs %3").arg(top).arg(bottom).arg(y200)));
        fader->SetTakeoverMarker(std::nullopt);
        QCOMPARE(fader->grab().toImage(), plain);
    }
};

QTEST_MAIN(SurfacesWindowTest)
#include "surfaces_window_test.moc"
