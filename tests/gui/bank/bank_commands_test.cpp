#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "BankFixture.h"
#include "app/LayoutCommands.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "layoutfile/LayoutFile.h"

class BankCommandsTest : public QObject {
    Q_OBJECT
    BankFixture f_;
    QTemporaryDir files_;

    void Preset(int channel, int level) { f_.Load({{channel, level}}); }

    // A layout with levels, a bump and a caption, saved for the next start.
    QString WriteLayout() {
        TChannelTable table{};
        ClearChannels(table);
        table.LevelOf(2) = 77;
        table.LevelOf(100) = 9;
        table.BumpOf(2) = 1;
        table.Name1Of(2).Assign("Spot");
        const QString path = files_.filePath(QStringLiteral("show.HXI"));
        if (!WriteLayoutFile(path, table)) return {};
        return path;
    }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() { ClearMessageBoxAnswers(); }

    void allFadersToFiftySendsAFrameOf128() {
        QVERIFY(f_.Start());
        f_.form->AllTo50Item->trigger();
        QCOMPARE(f_.LastFrame(), std::vector<std::uint8_t>(512, 128));
        for (int c = 1; c <= 512; ++c)
            QCOMPARE(int(f_.Model().Table().LevelOf(c)), 128);
        QCOMPARE(f_.Fader(32)->Digit(), 128);
        f_.form->AllTo0Item->trigger();
        QCOMPARE(f_.LastFrame(), std::vector<std::uint8_t>(512, 0));
        QCOMPARE(f_.Page(1)->Color(), TColor{0xC0C0C0});
    }

    void currentPageAtFullLeavesOtherPages() {
        QVERIFY(f_.Start());
        f_.ClickPage(3);
        f_.form->PageTo100Item->trigger();
        const auto frame = f_.LastFrame();
        QCOMPARE(frame.size(), std::size_t{512});
        for (int c = 1; c <= 512; ++c)
            QCOMPARE(int(frame[std::size_t(c - 1)]), (c >= 65 && c <= 96) ? 255 : 0);
        QCOMPARE(f_.Page(3)->Color(), TColor{0x00FFFF});
    }

    void bulkLevelsReleaseALatchedBump() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        Preset(8, 40);
        f_.ClickBump(8); // latched, and still focused
        f_.form->AllTo0Item->trigger();
        QVERIFY(!f_.Bump(8)->Value());
        QCOMPARE(f_.Fader(8)->Digit(), 0);
        QCOMPARE(int(f_.Model().Table().LevelOf(8)), 0);
        QCOMPARE(f_.LastLevel(8), 0);
    }

    void releaseAllPutsBumpedChannelsToZero() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        Preset(5, 60);
        f_.ClickBump(5);
        f_.FocusFader(9);
        f_.ClickPage(2);
        f_.ClickBump(1); // channel 33, on another page
        f_.ClickPage(1);
        QVERIFY(f_.Bump(5)->Value());
        f_.form->ReleaseBumpsItem->trigger();
        QVERIFY(!f_.Bump(5)->Value());
        QCOMPARE(f_.Bump(5)->Color(), TColor{0x808080});
        QCOMPARE(int(f_.Model().Table().LevelOf(5)), 0);
        QCOMPARE(int(f_.Model().Table().LevelOf(33)), 0);
        QCOMPARE(int(f_.Model().Table().BumpOf(33)), 0);
        QCOMPARE(f_.Fader(5)->Digit(), 0);
        QCOMPARE(f_.LastLevel(5), 0);
    }

    void releaseAllWithTheBumpFocusedRestoresItsLevel() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        Preset(5, 60);
        f_.ClickBump(5);
        QVERIFY(f_.Bump(5)->hasFocus());
        f_.form->ReleaseBumpsItem->trigger();
        QCOMPARE(int(f_.Model().Table().LevelOf(5)), 60);
        QCOMPARE(f_.Fader(5)->Digit(), 60);
        QCOMPARE(f_.LastLevel(5), 60);
    }

    void momentaryModeLeavesALatchedBumpUntilReleaseAll() {
        QVERIFY(f_.Start());
        f_.form->ToggleBumpsItem->trigger();
        f_.ClickBump(12);
        f_.form->ToggleBumpsItem->trigger();
        QCOMPARE(f_.Bump(12)->ButtonType(), ToxButtonType::oxbCommand);
        QVERIFY(f_.Bump(12)->Value());
        QCOMPARE(int(f_.Model().Table().LevelOf(12)), 255);
        f_.form->ReleaseBumpsItem->trigger();
        QVERIFY(!f_.Bump(12)->Value());
        QCOMPARE(int(f_.Model().Table().LevelOf(12)), 0);
    }

    void noStoredPreferencesGivePlainDefaults() {
        QVERIFY(f_.Start());
        QVERIFY(!IsWindowTopmost(f_.form.get()));
        QCOMPARE(f_.Bump(1)->ButtonType(), ToxButtonType::oxbCommand);
        QCOMPARE(f_.Bump(1)->Background().Style(), ToxBackgroundStyle::oxbSolid);
        QCOMPARE(f_.Page(1)->Background().Style(), ToxBackgroundStyle::oxbSolid);
        QVERIFY(!f_.Fader(1)->BevelOuter()->SurfaceGrad()->Visible());
        QCOMPARE(f_.Fader(1)->SignalSettings()->ValueUnit(), QStringLiteral("%"));
        QVERIFY(f_.Fader(1)->EnableKeyboard());
        QVERIFY(f_.form->LayoutCommands().FileName().isEmpty());
    }

    void preferenceCommandsChangeLooksButNoLevel() {
        QVERIFY(f_.Start());
        Preset(1, 128);
        const std::size_t before = f_.records.size();
        f_.form->ShowDigitsItem->trigger();
        QCOMPARE(f_.Fader(1)->SignalSettings()->ValueTo(), 255.0f);
        QCOMPARE(f_.Fader(1)->SignalSettings()->ValueUnit(), QString());
        QCOMPARE(f_.Fader(1)->Digit(), 128);
        f_.form->GradientItem->trigger();
        QVERIFY(f_.Fader(20)->BevelOuter()->SurfaceGrad()->Visible());
        QCOMPARE(f_.Bump(20)->Background().Style(), ToxBackgroundStyle::oxbVertGradient);
        QCOMPARE(f_.Page(9)->Background().Style(), ToxBackgroundStyle::oxbVertGradient);
        f_.form->ForwardKeysItem->trigger();
        QVERIFY(!f_.Fader(20)->EnableKeyboard());
        f_.form->StayOnTopItem->trigger();
        QVERIFY(IsWindowTopmost(f_.form.get()));
        QCOMPARE(f_.records.size(), before);
        QCOMPARE(int(f_.Model().Table().LevelOf(1)), 128);
    }

    void startUpReopensTheLayoutAndForgetsLevelsUnlessMemorised() {
        const QString path = WriteLayout();
        QVERIFY(!path.isEmpty());
        // An interrupted save of the layout and of the outputs' file left these;
        // only our own go, by their name.
        const QString outputs = QDir(f_.preferences.path()).filePath("DmxOutputs.ini");
        const QStringList leftovers = {path + ".~vantrelle~part~a1B2c3",
                                       outputs + ".~vantrelle~part~Zz9Yy8"};
        const QString notOurs = path + ".~vantrelle~part~old";
        for (const QString& name : leftovers + QStringList{notOurs}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Left by an earlier run: older than this one.
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        }
        QVERIFY(f_.Start([&](TMainWindow& form) { form.OpenDialog->SetFileName(path); }));
        for (const QString& name : leftovers)
            QVERIFY2(!QFileInfo::exists(name), qPrintable(name));
        QVERIFY(QFileInfo::exists(notOurs));
        QCOMPARE(f_.form->LayoutCommands().FileName(), path);
        QCOMPARE(int(f_.Model().Table().LevelOf(2)), 0);
        QCOMPARE(int(f_.Model().Table().BumpOf(2)), 0);
        QCOMPARE(f_.Fader(2)->SignalSettings()->Name1(), QStringLiteral("Spot"));
        QCOMPARE(f_.LastLevel(2), 0);
    }

    void memorisedStartUpKeepsLevelsAndBumps() {
        const QString path = WriteLayout();
        QVERIFY(f_.Start([&](TMainWindow& form) {
            form.OpenDialog->SetFileName(path);
            form.KeepLevelsItem->setChecked(true);
            form.ToggleBumpsItem->setChecked(true);
        }));
        QCOMPARE(f_.Fader(2)->Digit(), 77);
        QCOMPARE(f_.LastLevel(2), 77);
        QCOMPARE(f_.LastLevel(100), 9);
        QVERIFY(f_.Bump(2)->Value());
        QCOMPARE(f_.Bump(2)->Color(), TColor{0xC0C0C0});
        QCOMPARE(f_.Page(4)->Color(), TColor{0x0080FF});
    }
};

QTEST_MAIN(BankCommandsTest)
#include "bank_commands_test.moc"
