#include <memory>

#include <QApplication>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"

namespace {

QStringList Captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QStringList Names(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->objectName();
    return out;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    RecordingEndpoint* endpoint_ = nullptr;
    QTemporaryDir preferences_; // the form's Config.dat stays out of the build tree

    std::unique_ptr<TMainWindow> MakeForm() {
        records_.clear();
        auto endpoint = std::make_unique<RecordingEndpoint>(&records_);
        endpoint_ = endpoint.get();
        auto form = std::make_unique<TMainWindow>(std::move(endpoint));
        form->PreferenceStore->SetProgramDirectory(preferences_.path());
        return form;
    }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() {
        ClearMessageBoxAnswers();
        TFileDialog::ClearAnswers();
    }

    void creationSetsCaptionLayerAndFixedSize() {
        auto form = MakeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrelle 4.03"));
        QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->centralWidget()->size(), QSize(1008, 561));
        QCOMPARE(form->PanelPage->height(), 41);
        QVERIFY(!form->Model().Ready());
        QVERIFY(form->Model().ForwardKeys());
        QCOMPARE(form->Model().Page(), 0);
        QCOMPARE(form->Bank().Palette().OffLive, 0x0080FF);
        QCOMPARE(form->Model().Table().NewMark, 1);
        QCOMPARE(form->Model().Table().FaderColorOf(512), 0x808080);
        QVERIFY2(records_.empty(), "nothing is sent before the window shows");
    }

    void menusHoldEveryItemInOrder() {
        auto form = MakeForm();
        const QList<QAction*> top = form->MenuBar->actions();
        QStringList titles;
        for (const QAction* a : top)
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Action", "&Preferences", "&Help"}));
        QCOMPARE(Captions(form->FileMenu),
                 (QStringList{"&New", "&Open", "&Save", "Save &As", "-", "E&xit"}));
        QCOMPARE(Names(form->FileMenu),
                 (QStringList{"M_New", "M_Open", "M_Save", "M_SaveAs", "N3", "M_Exit"}));
        QCOMPARE(Captions(form->ActionMenu),
                 (QStringList{"Release All Toggled Bump Buttons", "-", "All Faders To 0%",
                              "All Faders To 50%", "All Faders To 100%", "-",
                              "Faders Of Current Page At 0%", "Faders Of Current Page At 50%",
                              "Faders Of Current Page At 100%", "-", "&Undo", "&Redo", "&Blackout",
                              QStringLiteral("&Snapshots\u2026")}));
        QCOMPARE(Captions(form->PreferencesMenu),
                 (QStringList{"&Display Value As Digit", "Bump Button As &Toggle",
                              "&Pass Keypresses To Halvex", "&Stay On Top",
                              "&Memorise Fader Status On Exit", "&Gradient Look", "-",
                              QStringLiteral("DMX &Outputs\u2026"),
                              QStringLiteral("&Control Surfaces\u2026"),
                              QStringLiteral("&Remote Access\u2026")}));
        QVERIFY(!form->OutputsItem->isCheckable());
        QVERIFY(!form->RemoteItem->isCheckable());
        QVERIFY(!form->SurfacesItem->isCheckable());
        for (QAction* a : form->PreferencesMenu->actions().mid(0, 6)) {
            QVERIFY(a->isCheckable());
            QVERIFY(!a->isChecked());
            QVERIFY(a->actionGroup() == nullptr);
        }
        QCOMPARE(Captions(form->HelpMenu), (QStringList{"Readme", "About"}));
        QCOMPARE(Names(form->HelpMenu), (QStringList{"M_Readme", "M_About"}));
    }

    void popupMenuPresetsCarryTheirLevels() {
        auto form = MakeForm();
        QCOMPARE(Captions(form->FaderMenu),
                 (QStringList{"Set Caption", "Clear Caption", "-", "100%  or 255", "90% or 230",
                              "80% or 204", "70% or 178", "60% or 153", "50% or 128", "40% or 102",
                              "30% or 76", "20% or 51", "10% or 26", "0% or 0", "-",
                              "Set Fader Color", "Learn Control"}));
        const int levels[] = {255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0};
        const QList<QAction*> items = form->FaderMenu->actions();
        for (int i = 0; i < 11; ++i) {
            auto* item = qobject_cast<TMenuItem*>(items[3 + i]);
            QVERIFY(item != nullptr);
            QCOMPARE(item->Tag(), levels[i]);
        }
        QCOMPARE(items[3]->objectName(), QStringLiteral("N1001"));
        QCOMPARE(items[13]->objectName(), QStringLiteral("N01"));
    }

    void firstShowSendsTwoFramesOfZerosThenTheDeferredLoadCompletesStartUp() {
        auto form = MakeForm();
        form->show();
        QCOMPARE(records_.size(), std::size_t{2});
        for (const auto& r : records_) {
            QVERIFY(r.Sent);
            QCOMPARE(r.Msg, 0x4Au);
            QCOMPARE(r.LParam, 256u);
            QCOMPARE(r.Payload, std::vector<std::uint8_t>(512, 0));
        }
        QCOMPARE(endpoint_->LastClass(), std::string("THXMainForm"));
        QVERIFY2(!form->Model().Ready(), "the load is deferred to the event loop");
        QTRY_VERIFY(form->Model().Ready());
        QVERIFY2(!form->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                 "with nothing stored, Stay On Top is off");
    }

    void closeQuestionCancelLeavesEverythingAsItWas() {
        auto form = MakeForm();
        form->show();
        QTRY_VERIFY(form->Model().Ready());
        form->Model().MoveFader(5, 99, {});
        QString asked;
        SetMessageBoxObserver([&](const QString& text, TMsgDlgType) { asked = text; });
        QueueMessageBoxAnswer(QMessageBox::Cancel);
        form->ExitItem->trigger();
        SetMessageBoxObserver({});
        QCOMPARE(asked, QStringLiteral("Do you want to save the layout before exiting?"));
        QVERIFY(form->isVisible());
        QCOMPARE(form->Model().Table().LevelOf(5), 99);
    }

    void closeQuestionNoAndYesCloseTheWindow() {
        for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            auto form = MakeForm();
            form->show();
            QueueMessageBoxAnswer(answer);
            TFileDialog::QueueAnswer(std::nullopt); // Yes with no layout file asks for one
            QVERIFY(form->close());
            QVERIFY(!form->isVisible());
        }
    }

    void noHostSendsNothing() {
        auto form = MakeForm();
        endpoint_->HostPresent = false;
        form->show();
        QVERIFY(records_.empty());
        form->Model().ResendLevels();
        QVERIFY(records_.empty());
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
