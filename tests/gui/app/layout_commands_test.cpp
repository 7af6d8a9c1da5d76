#include <memory>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/LayoutCommands.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "bank/BumpButton.h"
#include "bank/Fader.h"
#include "bank/PageButton.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "model/Captions.h"
#include "persist/Persist.h"

class LayoutCommandsTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    QTemporaryDir dir_;
    QStringList boxes_;

    std::unique_ptr<TMainWindow> MakeForm(const QString& startLayout = {}) {
        records_.clear();
        auto form = std::make_unique<TMainWindow>(std::make_unique<RecordingEndpoint>(&records_));
        form->PreferenceStore->SetProgramDirectory(dir_.path());
        form->SetStartLayout(startLayout);
        form->show();
        // The deferred load completes start-up once events flow.
        if (!QTest::qWaitFor([&] { return form->Model().Ready(); }, 5000))
            qWarning("start-up did not complete");
        records_.clear();
        return form;
    }
    // A level as a layout read before would have left it; what that sent is forgotten.
    void Preset(TMainWindow& form, int channel, int level) {
        auto table = std::make_unique<TChannelTable>(form.Model().Table());
        table->LevelOf(channel) = static_cast<std::uint8_t>(level);
        form.Model().LoadLayout(*table, {});
        records_.clear();
    }
    QString PathOf(const char* name) const { return dir_.filePath(QLatin1String(name)); }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() {
        ClearMessageBoxAnswers();
        TFileDialog::ClearAnswers();
        boxes_.clear();
        SetMessageBoxObserver([this](const QString& text, TMsgDlgType) { boxes_ << text; });
    }
    void cleanup() { SetMessageBoxObserver({}); }

    void saveAsWritesTheTableAndNamesTheFile() {
        auto form = MakeForm();
        QVERIFY(form->Model().Ready());
        Preset(*form, 40, 200);
        TFileDialog::QueueAnswer(PathOf("Act1.HXI"));
        form->SaveAsItem->trigger();
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03 Act1.HXI"));
        QCOMPARE(form->OpenDialog->FileName(), PathOf("Act1.HXI"));
        QCOMPARE(QFileInfo(PathOf("Act1.HXI")).size(), 33800);
        QVERIFY2(records_.empty(), "saving sends nothing");
    }

    void openReadsTheFileAndSendsIt() {
        auto form = MakeForm();
        Preset(*form, 40, 200);
        TFileDialog::QueueAnswer(PathOf("Act2.HXI"));
        form->SaveAsItem->trigger();
        form->NewItem->trigger();
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03 "));
        QCOMPARE(form->Model().Table().LevelOf(40), 0);
        QVERIFY(form->LayoutCommands().FileName().isEmpty());
        // New keeps the file to reopen at the next start.
        QCOMPARE(form->OpenDialog->FileName(), PathOf("Act2.HXI"));

        records_.clear();
        TFileDialog::QueueAnswer(PathOf("Act2.HXI"));
        form->OpenItem->trigger();
        QCOMPARE(form->Model().Table().LevelOf(40), 200);
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03 Act2.HXI"));
        QVERIFY(form->Model().Ready());
        QVERIFY(!records_.empty());
        QCOMPARE(records_.back().Payload[39], std::uint8_t{200});
    }

    // A layout named on the command line: opened instead of the last one,
    // with Open's checks and messages; when it cannot be read, the last one.
    void startLayoutComesInsteadOfTheLastOrIsRefusedWithOpensMessage() {
        {
            auto form = MakeForm();
            auto named = std::make_unique<TChannelTable>(form->Model().Table());
            StoreCaption(named->Name1Of(5), QStringLiteral("Cmd5"));
            form->Model().LoadLayout(*named, {});
            TFileDialog::QueueAnswer(PathOf("Cmd.hxi"));
            form->SaveAsItem->trigger();
            form->NewItem->trigger();
            TFileDialog::QueueAnswer(PathOf("Last.HXI"));
            form->SaveAsItem->trigger();
            QueueMessageBoxAnswer(QMessageBox::No);
            QVERIFY(form->close()); // keeps Last.HXI as the layout to reopen
        }
        QFile shortFile(PathOf("short3.HXI"));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write(QByteArray(100, '\0'));
        shortFile.close();

        const QString current = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // a relative name is the working folder's
        for (const char* good : {"Cmd.hxi", "./Cmd.hxi"}) {
            boxes_.clear(); // the close question
            auto form = MakeForm(QLatin1String(good));
            QVERIFY(boxes_.isEmpty());
            QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03 Cmd.hxi"));
            QCOMPARE(form->LayoutCommands().FileName(), PathOf("Cmd.hxi"));
            QCOMPARE(CaptionText(form->Model().Table().Name1Of(5)), QStringLiteral("Cmd5"));
            // As after File > Open: the file to reopen at the next start.
            QCOMPARE(form->OpenDialog->FileName(), PathOf("Cmd.hxi"));
            form->OpenDialog->SetFileName(PathOf("Last.HXI"));
            QueueMessageBoxAnswer(QMessageBox::No);
            QVERIFY(form->close());
        }
        QDir::setCurrent(current);

        const struct {
            const char* file;
            QString said;
        } bad[] = {
            {"missing.HXI", QStringLiteral("No such file or directory")},
            {"short3.HXI", QStringLiteral("holds 100 of 33800 bytes.")},
            {".", QStringLiteral("Is a directory")},
        };
        for (const auto& b : bad) {
            boxes_.clear();
            QueueMessageBoxAnswer(QMessageBox::Ok);
            auto form = MakeForm(PathOf(b.file));
            QCOMPARE(boxes_.size(), 1);
            QVERIFY2(boxes_[0].contains(b.said), qPrintable(boxes_[0]));
            QVERIFY2(boxes_[0].endsWith(QStringLiteral(" Cannot Open File")),
                     qPrintable(boxes_[0]));
            QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03 Last.HXI"));
            QCOMPARE(form->LayoutCommands().FileName(), PathOf("Last.HXI"));
            QCOMPARE(form->OpenDialog->FileName(), PathOf("Last.HXI"));
            QCOMPARE(CaptionText(form->Model().Table().Name1Of(5)), QString());
        }
        QCOMPARE(QFileInfo(PathOf("short3.HXI")).size(), 100);
        QVERIFY(QFile::remove(PathOf("Config.dat"))); // the next tests start without a last layout
    }

    void cancelledOpenChangesNothing() {
        auto form = MakeForm();
        Preset(*form, 3, 9);
        TFileDialog::QueueAnswer(std::nullopt);
        form->OpenItem->trigger();
        QCOMPARE(form->Model().Table().LevelOf(3), 9);
        QVERIFY(records_.empty());
    }

    void shortFileGivesTheOpenWarning() {
        auto form = MakeForm();
        QFile f(PathOf("short.HXI"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(33799, '\x01'));
        f.close();
        TFileDialog::QueueAnswer(PathOf("short.HXI"));
        QueueMessageBoxAnswer(QMessageBox::Ok);
        form->OpenItem->trigger();
        QCOMPARE(boxes_.size(), 1);
        QVERIFY(boxes_[0].endsWith(QStringLiteral(" Cannot Open File")));
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03"));
        QVERIFY2(form->LayoutCommands().FileName().isEmpty(), "the failed file is not taken on");
    }

    void failedOpenLeavesTableFadersPagesAndHostUntouched() {
        auto form = MakeForm();
        TDeskModel& model = form->Model();
        TBankView& bank = form->Bank();
        auto start = std::make_unique<TChannelTable>(model.Table());
        start->LevelOf(40) = 200;
        model.LoadLayout(*start, {});
        TFileDialog::QueueAnswer(PathOf("good.HXI"));
        form->SaveAsItem->trigger();
        TFileDialog::QueueAnswer(PathOf("good.HXI"));
        form->OpenItem->trigger();
        QCOMPARE(model.Table().LevelOf(40), 200);

        QFile empty(PathOf("empty.HXI"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QFile shortFile(PathOf("short2.HXI"));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write(QByteArray(20000, '\0'));
        shortFile.close();
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.HXI")));
        // Not a file that can be read as one (and root can read any file).
        QVERIFY(::mkfifo(QFile::encodeName(PathOf("pipe.HXI")).constData(), 0600) == 0);

        const QByteArray table(reinterpret_cast<const char*>(&model.Table()),
                               sizeof(TChannelTable));
        std::vector<int> digits;
        for (int slot = 1; slot <= 32; ++slot)
            digits.push_back(bank.FaderAt(slot)->Digit());
        QList<QImage> pages;
        for (int page = 1; page <= 16; ++page)
            pages << bank.PageButtonAt(page)->grab().toImage();
        const QString title = form->windowTitle();

        for (const char* name : {"empty.HXI", "short2.HXI", "folder.HXI", "pipe.HXI"}) {
            records_.clear();
            boxes_.clear();
            TFileDialog::QueueAnswer(PathOf(name));
            QueueMessageBoxAnswer(QMessageBox::Ok);
            form->OpenItem->trigger();
            QCOMPARE(boxes_.size(), 1);
            QVERIFY2(boxes_[0].contains(PathOf(name)), qPrintable(boxes_[0]));
            QCOMPARE(
                QByteArray(reinterpret_cast<const char*>(&model.Table()), sizeof(TChannelTable)),
                table);
            for (int slot = 1; slot <= 32; ++slot)
                QCOMPARE(bank.FaderAt(slot)->Digit(), digits[static_cast<std::size_t>(slot - 1)]);
            for (int page = 1; page <= 16; ++page)
                QCOMPARE(bank.PageButtonAt(page)->grab().toImage(), pages[page - 1]);
            QVERIFY2(records_.empty(), name);
            QCOMPARE(form->windowTitle(), title);
            QCOMPARE(form->LayoutCommands().FileName(), PathOf("good.HXI"));
            QCOMPARE(form->OpenDialog->FileName(), PathOf("good.HXI"));
            QVERIFY(model.Ready());
        }
    }

    void saveOfADeletedFileAsksForAName() {
        auto form = MakeForm();
        TFileDialog::QueueAnswer(PathOf("gone.HXI"));
        form->SaveAsItem->trigger();
        QVERIFY(QFile::remove(PathOf("gone.HXI")));
        TFileDialog::QueueAnswer(PathOf("again.HXI"));
        form->SaveItem->trigger();
        QVERIFY(QFile::exists(PathOf("again.HXI")));
        QCOMPARE(form->LayoutCommands().FileName(), PathOf("again.HXI"));
    }

    void closeWithYesAndNoFileAsksForOneAndClosesWhenCancelled() {
        auto form = MakeForm();
        QueueMessageBoxAnswer(QMessageBox::Yes);
        TFileDialog::QueueAnswer(std::nullopt);
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QCOMPARE(boxes_.size(), 1);
    }

    void closeWithYesSavesToTheCurrentFile() {
        auto form = MakeForm();
        TFileDialog::QueueAnswer(PathOf("current.HXI"));
        form->SaveAsItem->trigger();
        Preset(*form, 1, 42);
        QueueMessageBoxAnswer(QMessageBox::Yes);
        QVERIFY(form->close());
        QFile f(PathOf("current.HXI"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(static_cast<int>(static_cast<std::uint8_t>(f.readAll().at(8))), 42);
    }
};

QTEST_MAIN(LayoutCommandsTest)
#include "layout_commands_test.moc"
