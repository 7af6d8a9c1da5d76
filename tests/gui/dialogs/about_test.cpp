// The About box: its controls and texts, the link labels, OK.

#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QUrl>

#include "HelpTestSupport.h"
#include "buttons/Buttons.h"
#include "dialogs/AboutBox.h"
#include "dialogs/DecorativeLabels.h"

// Takes the addresses the desktop would have opened.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void controlsAreAsDesigned();
    void textsNameNoOneReal();
    void linksOpenTheirAddresses();
    void okClosesAndFreesTheBox();

private:
    UrlCatcher catcher_;
};

void AboutTest::initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher_, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher_, "open");
}

void AboutTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void AboutTest::controlsAreAsDesigned() {
    TAboutBox about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vantrelle"));
    QCOMPARE(about.Client()->size(), QSize(322, 225));
    QCOMPARE(about.font().pixelSize(), 11);
    QCOMPARE(about.Panel1->geometry(), QRect(8, 8, 313, 185));
    QCOMPARE(about.ProgramIcon->geometry(), QRect(8, 8, 113, 97));
    QCOMPARE(about.ProductName->pos(), QPoint(135, 9));
    QCOMPARE(about.ProductName->text(), QStringLiteral("Vantrelle"));
    QVERIFY(about.ProductName->font().bold());
    QCOMPARE(about.ProductName->Font3D(), ox3Raised);
    QCOMPARE(about.Version->pos(), QPoint(135, 26));
    QCOMPARE(about.Version->text(), QStringLiteral("Version: 4.03"));
    QCOMPARE(about.Label2->pos(), QPoint(135, 41));
    QCOMPARE(about.Label2->text(), QStringLiteral("Release date: April 1 2002"));
    QCOMPARE(about.Label1->geometry(), QRect(136, 64, 172, 41));
    QVERIFY(about.Label1->wordWrap());
    QCOMPARE(about.Notice->pos(), QPoint(8, 119));
    QCOMPARE(about.Comments->pos(), QPoint(8, 141));
    QVERIFY(about.Comments->wordWrap());
    QCOMPARE(about.WebLink->pos(), QPoint(144, 161));
    QCOMPARE(about.MailLink->pos(), QPoint(8, 161));
    QCOMPARE(about.OKButton->geometry(), QRect(119, 196, 75, 25));
    QCOMPARE(about.OKButton->Caption(), QStringLiteral("OK"));
    QCOMPARE(about.OKButton->Style(), ToxBtnStyle::bsWin97);
    QCOMPARE(about.OKButton->Background().Color(), TColor{0x00CCC7AC});
    QCOMPARE(about.oxForm1->ActiveGradient(), clBlue);
    QCOMPARE(about.oxForm1->InactiveGradient(), clNavy);
    QCOMPARE(about.oxForm1->BorderStyle(), TFormBorderStyle::bsDialog);
    for (ToxLinkLabel* link : {about.WebLink, about.MailLink}) {
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->palette().color(QPalette::WindowText), ToQColor(clHighlight));
    }
    about.show();
    QVERIFY(helptest::Activate(&about));
    helptest::SaveScreenshot(&about, QStringLiteral("about"));
}

void AboutTest::textsNameNoOneReal() {
    TAboutBox about;
    // Neutral texts: our own name and reserved example addresses only.
    QVERIFY(about.WebLink->text().endsWith(QStringLiteral(".test")));
    QVERIFY(about.MailLink->text().endsWith(QStringLiteral(".test")));
    // Side by side on one line without touching.
    QVERIFY(about.MailLink->geometry().right() < about.WebLink->geometry().left());
    QVERIFY(about.WebLink->geometry().right() < about.Panel1->width());
    QVERIFY(about.Notice->text().contains(QStringLiteral("2002")));
    QVERIFY(!about.Label1->text().isEmpty());
    QVERIFY(!about.Comments->text().isEmpty());
}

void AboutTest::linksOpenTheirAddresses() {
    catcher_.urls.clear();
    TAboutBox about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QColor before = about.WebLink->palette().color(QPalette::WindowText);
    QTest::mouseMove(about.WebLink, QPoint(3, 3));
    QTest::mouseClick(about.WebLink, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(about.MailLink, Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_COMPARE(catcher_.urls.size(), 2);
    QCOMPARE(catcher_.urls.at(0).toString(), QStringLiteral("http://www.vantrelle.test"));
    QCOMPARE(catcher_.urls.at(1).toString(), QStringLiteral("mailto:desk@vantrelle.test"));
    // Neither hover nor use changes the link's look.
    QCOMPARE(about.WebLink->palette().color(QPalette::WindowText), before);
    // A press that leaves the label before release opens nothing.
    QTest::mousePress(about.WebLink, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(about.WebLink, Qt::LeftButton, {}, QPoint(-20, -20));
    QTest::mouseClick(about.WebLink, Qt::RightButton, {}, QPoint(3, 3));
    QCOMPARE(catcher_.urls.size(), 2);
}

void AboutTest::okClosesAndFreesTheBox() {
    QPointer<TAboutBox> about = new TAboutBox;
    about->show();
    QVERIFY(helptest::Activate(about));
    QTest::mouseClick(about->OKButton->Face(), Qt::LeftButton, {}, QPoint(37, 12));
    QTRY_VERIFY(about.isNull());
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
