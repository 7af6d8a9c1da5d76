// The form skin on real windows: owner check, drawn title bar, colours of the
// active and inactive caption, shortening, close button, dragging, task bar.

#include <QDialog>
#include <QStyle>
#include <QTest>
#include <QWindow>
#include <memory>

#include "HelpTestSupport.h"
#include "dialogs/AboutBox.h"
#include "skin/CaptionBar.h"
#include "skin/SkinnedForm.h"

class SkinTest : public QObject {
    Q_OBJECT
private slots:
    void ownerMustBeAWindow_data();
    void ownerMustBeAWindow();
    void titleBarHasThePlatformHeight();
    void aboutBoxCaptionFollowsActivation();
    void longCaptionIsShortenedAndLeftAligned();
    void iconOnlyForWindowsWithoutDialogBorder();
    void closeButtonClosesTheWindow();
    void draggingTheTitleBarMovesTheWindow();
    void taskbarOptionKeepsVisibility();
    void ownedWindowStaysTransientForItsOwner();
};

void SkinTest::ownerMustBeAWindow_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("NoOwner") << 0;
    QTest::newRow("PlainObject") << 1;
    QTest::newRow("ChildWidget") << 2;
}

void SkinTest::ownerMustBeAWindow() {
    QFETCH(int, kind);
    QObject object;
    QWidget window;
    auto* child = new QWidget(&window);
    QObject* owner = kind == 0 ? nullptr : kind == 1 ? &object : static_cast<QObject*>(child);
    try {
        ToxForm form(owner);
        QFAIL("a skin was built on something that is not a window");
    } catch (const EoxFormError& e) {
        QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("A Form MUST be the owner"));
    }
    ToxForm onWindow(&window); // a window is fine
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void SkinTest::titleBarHasThePlatformHeight() {
    TAboutBox about;
    const int height = about.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &about);
    QCOMPARE(about.oxForm1->CaptionBar()->height(), height);
    QCOMPARE(about.Client()->size(), QSize(322, 225));
    const QMargins chrome = about.oxForm1->ChromeMargins();
    QCOMPARE(about.size(), QSize(322, 225).grownBy(chrome));
    QCOMPARE(chrome.top(), chrome.left() + height);
}

void SkinTest::aboutBoxCaptionFollowsActivation() {
    TAboutBox about;
    QWidget other;
    other.resize(100, 100);
    other.show();
    about.show();
    QVERIFY(helptest::Activate(&about));
    TCaptionBar* bar = about.oxForm1->CaptionBar();
    QTRY_VERIFY(about.oxForm1->IsActive());
    helptest::SaveScreenshot(&about, QStringLiteral("about-active"));

    auto check = [&](const QColor& left, const QColor& text, const QColor& notText) {
        const QImage image = bar->grab().toImage();
        const int mid = image.height() / 2;
        QCOMPARE(image.pixelColor(0, mid), left);
        const QRect textArea(0, 0, bar->SkinnedWidth(), image.height());
        QVERIFY2(helptest::CountPixels(image, text, textArea) > 20, "caption text colour missing");
        QCOMPARE(helptest::CountPixels(image, notText, textArea), 0);
    };
    check(QColor(0, 0, 255), Qt::white, QColor(192, 192, 192));

    QVERIFY(helptest::Activate(&other));
    QTRY_VERIFY(!about.oxForm1->IsActive());
    helptest::SaveScreenshot(&about, QStringLiteral("about-inactive"));
    check(QColor(0, 0, 128), QColor(192, 192, 192), Qt::white);
    // The right end approaches the platform's inactive gradient colour.
    const QImage image = bar->grab().toImage();
    const QColor end = ToQColor(clGradientInactiveCaption);
    const QColor got = image.pixelColor(bar->SkinnedWidth() - 1, image.height() - 1);
    QVERIFY(std::abs(got.red() - end.red()) <= 2 && std::abs(got.green() - end.green()) <= 2 &&
            std::abs(got.blue() - end.blue()) <= 2);

    QVERIFY(helptest::Activate(&about));
    QTRY_VERIFY(about.oxForm1->IsActive());
    check(QColor(0, 0, 255), Qt::white, QColor(192, 192, 192));
}

void SkinTest::longCaptionIsShortenedAndLeftAligned() {
    QWidget window;
    ToxForm form(&window);
    form.SetBorderStyle(TFormBorderStyle::bsDialog); // no icon: text starts at 2
    form.SetAlignment(Qt::AlignHCenter);
    window.resize(220, 120);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    form.SetCaption(QStringLiteral("Hi"));
    TCaptionRender r = form.CaptionBar()->Rendered();
    QVERIFY(!r.shortened);
    QVERIFY2(r.textX > CAPTION_TEXT_MARGIN, "a short caption is centred as asked");

    const QString full = QStringLiteral("A caption far too long for a window only 220 wide");
    form.SetCaption(full);
    r = form.CaptionBar()->Rendered();
    QVERIFY(r.shortened);
    QVERIFY(r.shownText.endsWith(QStringLiteral("...")));
    QVERIFY(r.shownText.size() > 4);
    QVERIFY(full.startsWith(r.shownText.chopped(3)));
    QCOMPARE(r.textX, CAPTION_TEXT_MARGIN);
}

void SkinTest::iconOnlyForWindowsWithoutDialogBorder() {
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(16, 16, QImage::Format_RGB32))));
    QWidget window;
    ToxForm form(&window);
    window.resize(400, 100);
    form.SetBorderStyle(TFormBorderStyle::bsSingle);
    const int iconWidth = form.Metrics().buttonWidth - 2;
    QCOMPARE(form.CaptionBar()->Rendered().textX, 1 + iconWidth + CAPTION_ICON_GAP);
    form.SetBorderStyle(TFormBorderStyle::bsDialog);
    QCOMPARE(form.CaptionBar()->Rendered().textX, CAPTION_TEXT_MARGIN);
    form.SetBorderStyle(TFormBorderStyle::bsToolWindow);
    QCOMPARE(form.CaptionBar()->Rendered().textX, CAPTION_TEXT_MARGIN);
    QApplication::setWindowIcon(QIcon());
}

void SkinTest::closeButtonClosesTheWindow() {
    QDialog window;
    ToxForm form(&window);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TCaptionBar* bar = form.CaptionBar();
    QVERIFY(!bar->CloseButtonRect().isEmpty());
    QVERIFY(bar->CloseButtonRect().right() < bar->width());
    // The About-like icon set leaves a plain stretch before the close button.
    QVERIFY(bar->SkinnedWidth() < bar->CloseButtonRect().left());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->CloseButtonRect().center());
    QTRY_VERIFY(!window.isVisible());
}

void SkinTest::draggingTheTitleBarMovesTheWindow() {
    QDialog window;
    ToxForm form(&window);
    window.resize(300, 200);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    TCaptionBar* bar = form.CaptionBar();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseMove(bar, QPoint(50, 25));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(50, 25));
    QTRY_COMPARE(window.pos(), start + QPoint(30, 20));
}

void SkinTest::taskbarOptionKeepsVisibility() {
    auto dialog = std::make_unique<QDialog>();
    QDialog* window = dialog.get();
    ToxForm form(window);
    QCOMPARE(window->windowType(), Qt::Dialog);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    form.SetOptions(form.Options() | oxfShowInTaskbar);
    QCOMPARE(window->windowType(), Qt::Window);
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->isVisible());
    window->hide();
    form.SetOptions(form.Options() & ~oxfShowInTaskbar);
    QCOMPARE(window->windowType(), Qt::Dialog);
    QVERIFY(!window->isVisible());
}

void SkinTest::ownedWindowStaysTransientForItsOwner() {
    QWidget owner;
    auto* window = new QDialog(&owner);
    ToxForm form(window);
    form.SetOptions(form.Options() | oxfShowInTaskbar);
    QCOMPARE(window->windowType(), Qt::Dialog);
    owner.show();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowHandle()->transientParent(), owner.windowHandle());
}

QTEST_MAIN(SkinTest)
#include "skin_test.moc"
