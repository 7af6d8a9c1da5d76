// The component's setup dialog: flagged items only, edits applied on OK.

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "persist/Persist.h"

class SetupDialogTest : public QObject {
    Q_OBJECT

    QWidget window_;
    QAction* check_ = nullptr;
    ToxPersist* persist_ = nullptr;

    // Acts on the dialog once it is up; fails the test if it never comes.
    void WhenShown(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, this, [act] {
            QWidget* dialog = nullptr;
            QTRY_VERIFY((dialog = QApplication::activeModalWidget()) != nullptr);
            act(dialog);
            // A failed check above must not leave the dialog waiting.
            if (auto* d = qobject_cast<QDialog*>(dialog); d && d->isVisible()) d->reject();
        });
    }
    static void Press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(box != nullptr);
        QTest::mouseClick(box->button(which), Qt::LeftButton);
    }

private slots:
    void init() {
        window_.setWindowTitle(QStringLiteral("Desk"));
        window_.move(10, 20);
        check_ = new QAction(&window_);
        check_->setObjectName(QStringLiteral("M_Check"));
        check_->setCheckable(true);
        persist_ = new ToxPersist(&window_);
        persist_->SetItems({
            QStringLiteral("(TForm);windowTitle;10;Title;;1;0;1;The caption;"),
            QStringLiteral("M_Check;Checked;3;Check;;1;0;1;;"),
            QStringLiteral("(TForm);Left;1;Left;;1;0;0;Not listed;"),
        });
    }
    void cleanup() {
        delete persist_;
        delete check_;
    }

    void okAppliesTheEdits() {
        QStringList labels;
        WhenShown([&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Desk Setup Dialog"));
            QCOMPARE(dialog->findChildren<QLineEdit*>().size(), 1);
            auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("Title"));
            QVERIFY(title != nullptr);
            QCOMPARE(title->text(), QStringLiteral("Desk"));
            title->selectAll();
            QTest::keyClicks(title, QStringLiteral("Renamed"));
            auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("Check"));
            QVERIFY(check != nullptr);
            QTest::keyClick(check, Qt::Key_Space);
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(persist_->ShowSetupDialog());
        QCOMPARE(window_.windowTitle(), QStringLiteral("Renamed"));
        QVERIFY(check_->isChecked());
    }

    void cancelLeavesEverything() {
        WhenShown([&](QWidget* dialog) {
            auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("Title"));
            QVERIFY(title != nullptr);
            QTest::keyClicks(title, QStringLiteral("more"));
            Press(dialog, QDialogButtonBox::Cancel);
        });
        QVERIFY(!persist_->ShowSetupDialog());
        QCOMPARE(window_.windowTitle(), QStringLiteral("Desk"));
        QVERIFY(!check_->isChecked());
    }
};

QTEST_MAIN(SetupDialogTest)
#include "setup_dialog_test.moc"
