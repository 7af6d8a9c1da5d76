#include <stdexcept>
#include <vector>

#include <QFrame>

#include "BankFixture.h"
#include "bank/BankBuilder.h"
#include "base/MessageBox.h"

namespace {

// Fails the chosen passes the way a failing constructor would.
class FailingFactory : public TBankFactory {
public:
    int FailFader = 0;
    int FailPage = 0;
    TFader* NewFader(QWidget* owner, int slot) override {
        if (slot == FailFader) throw std::runtime_error("no fader");
        return TBankFactory::NewFader(owner, slot);
    }
    TPageButton* NewPageButton(QWidget* owner, int page) override {
        if (page == FailPage) throw std::runtime_error("no page button");
        return TBankFactory::NewPageButton(owner, page);
    }
};

} // namespace

class BankLayoutTest : public QObject {
    Q_OBJECT
    BankFixture f_;

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void init() { ClearMessageBoxAnswers(); }

    void gridPlacesBothRowsAndSizesTheWindow() {
        QVERIFY(f_.Start());
        QCOMPARE(f_.form->centralWidget()->size(), QSize(1008, 561));
        QCOMPARE(f_.form->PanelFader->geometry(), QRect(0, 41, 1008, 520));
        QCOMPARE(f_.Fader(1)->geometry(), QRect(0, 0, 63, 210));
        QCOMPARE(f_.Bump(1)->geometry(), QRect(0, 210, 63, 40));
        QCOMPARE(f_.Fader(16)->geometry(), QRect(945, 0, 63, 210));
        QCOMPARE(f_.Fader(17)->geometry(), QRect(0, 270, 63, 210));
        QCOMPARE(f_.Bump(17)->geometry(), QRect(0, 480, 63, 40));
        QCOMPARE(f_.Bump(32)->geometry(), QRect(945, 480, 63, 40));
        QCOMPARE(f_.Fader(17)->objectName(), QStringLiteral("Fader17"));
        QCOMPARE(f_.Bump(17)->objectName(), QStringLiteral("FaderButton17"));
        QCOMPARE(f_.Fader(17)->parentWidget(), f_.form->PanelFader);
        QCOMPARE(f_.Bump(17)->parentWidget(), f_.form->PanelFader);
    }

    void pageButtonsSplitThePageRow() {
        QVERIFY(f_.Start());
        TPageButton* last = f_.Page(16);
        QCOMPARE(last->geometry(), QRect(945, 4, 63, 33));
        QCOMPARE(last->Lines().Lines(), QStringList{QStringLiteral("481 - 512")});
        QCOMPARE(f_.Page(1)->Lines().Lines(), QStringList{QStringLiteral("1 - 32")});
        QCOMPARE(last->objectName(), QStringLiteral("PageButton16"));
        QCOMPARE(last->Page(), 16);
        QCOMPARE(last->ButtonType(), ToxButtonType::oxbToggle);
        QCOMPARE(last->Group(), 1);
        QVERIFY(!last->GroupAllowNoSel());
        QVERIFY(f_.Page(1)->Value());
        for (int p = 2; p <= 16; ++p)
            QVERIFY(!f_.Page(p)->Value());
    }

    void slotsStartOnPageOneWithPercentDisplayAndMomentaryBumps() {
        QVERIFY(f_.Start());
        for (int slot = 1; slot <= 32; ++slot) {
            TFader* fader = f_.Fader(slot);
            TBumpButton* bump = f_.Bump(slot);
            QCOMPARE(fader->Slot(), slot);
            QCOMPARE(bump->Slot(), slot);
            QCOMPARE(bump->Caption(), QString::number(slot));
            QCOMPARE(bump->ButtonType(), ToxButtonType::oxbCommand);
            QCOMPARE(bump->Color(), TColor{0x808080});
            QVERIFY(!bump->TabStop());
            QCOMPARE(bump->Cursor(), -21);
            QCOMPARE(fader->SignalSettings()->DigitalTo(), 255);
            QCOMPARE(fader->SignalSettings()->ValueTo(), 100.0f);
            QCOMPARE(fader->SignalSettings()->ValueUnit(), QStringLiteral("%"));
            QCOMPARE(fader->SignalSettings()->ValueFormat(), QStringLiteral("##0"));
            QCOMPARE(fader->Digit(), 0);
            QVERIFY(fader->EnableKeyboard());
            QVERIFY(!fader->TabStop());
            QCOMPARE(fader->PopupMenu(), f_.form->FaderMenu);
            QCOMPARE(fader->SignalSettings()->Name1(), QString());
        }
    }

    void failedPassesAreReportedAndTheRestOfTheBankStands() {
        QWidget window;
        auto* page = new QFrame(&window);
        page->setGeometry(0, 0, 1008, 41);
        auto* faders = new QFrame(&window);
        TBankWidgets widgets;
        QStringList shown;
        SetMessageBoxObserver([&](const QString& text, TMsgDlgType type) {
            QCOMPARE(type, TMsgDlgType::mtWarning);
            shown << text;
        });
        for (int i = 0; i < 3; ++i)
            QueueMessageBoxAnswer(QMessageBox::Ok);
        FailingFactory factory;
        factory.FailFader = 5;
        factory.FailPage = 3;
        const TBankPanels panels{faders, page, nullptr, &window};
        CreateFaders(widgets, panels, false, 0x808080, factory);
        const QSize client = PlaceFaders(widgets, panels);
        CreatePageButtons(widgets, panels, 0x808080, factory);
        SetMessageBoxObserver({});
        QCOMPARE(shown, (QStringList{"Error on Creating Fader [5]", "Error on Resize Fader [5]",
                                     "Error on Creating PageButton [3]"}));
        QVERIFY(widgets.Faders[5] == nullptr);
        QVERIFY2(widgets.Bumps[5] == nullptr, "the pass stopped where it failed");
        QCOMPARE(widgets.Faders[6]->geometry(), QRect(315, 0, 63, 210));
        QCOMPARE(widgets.Faders[21]->geometry(), QRect(252, 270, 63, 210));
        QCOMPARE(client, QSize(1008, 561));
        QVERIFY(widgets.PageButtons[3] == nullptr);
        QCOMPARE(widgets.PageButtons[4]->geometry(), QRect(189, 4, 63, 33));
        QVERIFY(faders->isVisibleTo(&window));
    }

    void switchingToPageTwoLoadsItsChannels() {
        QVERIFY(f_.Start());
        const int level = f_.ClickFader(1, 200);
        QVERIFY(std::abs(level - 200) <= 2);
        QCOMPARE(int(f_.Model().Table().LevelOf(1)), level);
        f_.ClickPage(2);
        QCOMPARE(f_.Model().Page(), 1);
        QCOMPARE(f_.Fader(1)->Digit(), 0);
        QCOMPARE(f_.Model().ChannelOf(1), 33);
        QCOMPARE(f_.Bump(1)->Caption(), QStringLiteral("33"));
        QCOMPARE(f_.Bump(32)->Caption(), QStringLiteral("64"));
        QCOMPARE(f_.Page(1)->Color(), TColor{0x0080FF});
        QCOMPARE(f_.Page(2)->Color(), TColor{0xC0C0C0});
        QCOMPARE(f_.Page(3)->Color(), TColor{0x808080});
        QVERIFY(f_.Page(2)->Value());
        QVERIFY(!f_.Page(1)->Value());
        QCOMPARE(f_.LastLevel(1), level);
        QVERIFY2(f_.Model().Table().LevelOf(1) == level, "page 1 keeps its level");
        f_.ClickFader(3, 255);
        QCOMPARE(f_.Model().Table().LevelOf(35), std::uint8_t{255});
        QCOMPARE(f_.Page(2)->Color(), TColor{0x00FFFF});
    }

    void aPageSwitchDrawsEachKnobOnce() {
        QVERIFY(f_.Start());
        f_.Load({{34, 99}});
        std::vector<int> knobDraws;
        for (int slot = 1; slot <= 32; ++slot)
            knobDraws.push_back(f_.Fader(slot)->ValueDisplayDraws());
        f_.ClickPage(2);
        QCOMPARE(f_.Fader(2)->Digit(), 99);
        // With the rest of its fader, even where the level moved.
        for (int slot = 1; slot <= 32; ++slot)
            QCOMPARE(f_.Fader(slot)->ValueDisplayDraws(), knobDraws[slot - 1] + 1);
    }

    void clickingTheShownPageReloadsAndSendsAgain() {
        QVERIFY(f_.Start());
        const std::size_t before = f_.records.size();
        f_.ClickPage(1);
        QVERIFY(f_.Page(1)->Value());
        QCOMPARE(f_.records.size(), before + 1);
        QCOMPARE(f_.Page(1)->Color(), TColor{0xC0C0C0});
    }

    void pageWithOnlyABumpMarkedStaysGray() {
        QVERIFY(f_.Start());
        auto table = std::make_unique<TChannelTable>(f_.Model().Table());
        table->BumpOf(40) = 1;
        f_.Model().LoadLayout(*table, {});
        f_.ClickPage(2);
        QCOMPARE(f_.Page(2)->Color(), TColor{0xC0C0C0});
        QVERIFY2(!f_.Bump(8)->Value(), "momentary bumps refuse to latch");
        QCOMPARE(f_.Bump(8)->Color(), TColor{0x808080});
        f_.ClickPage(1);
        QCOMPARE(f_.Page(2)->Color(), TColor{0x808080});
    }

    void pageColoursFollowEvenWithoutAHost() {
        QVERIFY(f_.Start());
        f_.endpoint->HostPresent = false;
        const std::size_t before = f_.records.size();
        f_.ClickFader(4, 128);
        QCOMPARE(f_.records.size(), before);
        QCOMPARE(f_.Page(1)->Color(), TColor{0x00FFFF});
    }
};

QTEST_MAIN(BankLayoutTest)
#include "bank_layout_test.moc"
