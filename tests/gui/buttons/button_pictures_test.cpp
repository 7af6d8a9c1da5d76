// Pictures, dither, focus rectangle and margins as a face draws them.
#include <QPainter>
#include <QtTest>

#include "buttons/Buttons.h"

namespace {

constexpr TColor kFace = 0x404040;
constexpr TColor kShadow = 0x0000FF; // red
const QRgb kFaceRgb = qRgb(0x40, 0x40, 0x40);
const QRgb kShadowRgb = qRgb(255, 0, 0);
const QRgb kInk = qRgb(0, 200, 0);

QImage Render(ToxCustomGraphicButton* b) {
    QImage image(b->size(), QImage::Format_RGB32);
    QPainter p(&image);
    b->PaintTo(p);
    return image;
}

QImage Square(int size, QRgb ink) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(ink);
    return image;
}

} // namespace

class ButtonPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void shadowFollowsState_data();
    void shadowFollowsState();
    void pictureMovesWhenShadowIsFaceColour();
    void disabledEmbossWithoutDisabledPicture();
    void disabledPictureUsedWhenTaller();
    void grayedPictureUntilHot();
    void transparentColourCutFromBitmaps();
    void ditherOnLatchedToggle();
    void focusRectangleAroundCaption();
    void wrapperMarginsTakeParentColour();
    void insetClampedToSize();
    void withoutCacheEveryPaintDraws();
    void rotatedCaptionDraws();

private:
    QWidget* container_ = nullptr;
    ToxGraphicButton* PictureFace() {
        auto* b = new ToxGraphicButton(container_);
        b->resize(30, 30);
        b->SetStyle(ToxBtnStyle::bsWinXP);
        b->SetColor(kFace);
        b->SetShadowColor(kShadow);
        b->SetButtonType(ToxButtonType::oxbToggle);
        b->Background().SetDitherDown(false);
        b->SetPictureUp(Square(6, kInk));
        b->SetPictureX(5);
        b->SetPictureY(5);
        return b;
    }
};

void ButtonPicturesTest::init() {
    container_ = new QWidget;
    container_->resize(200, 100);
}

void ButtonPicturesTest::cleanup() {
    delete container_;
    container_ = nullptr;
}

void ButtonPicturesTest::shadowFollowsState_data() {
    QTest::addColumn<bool>("latched");
    QTest::addColumn<int>("offset");
    QTest::newRow("up shadow 2") << false << 2;
    QTest::newRow("latched shadow 3") << true << 3;
}

void ButtonPicturesTest::shadowFollowsState() {
    QFETCH(bool, latched);
    QFETCH(int, offset);
    auto* b = PictureFace();
    b->SetValue(latched);
    const QImage image = Render(b);
    QCOMPARE(b->PictureRect(), QRect(5, 5, 6, 6));
    QCOMPARE(image.pixel(5, 5), kInk); // the picture stays put
    // The shadow shows just below and right of the picture.
    QCOMPARE(image.pixel(10 + offset, 10 + offset), kShadowRgb);
    QCOMPARE(image.pixel(11 + offset, 11 + offset), kFaceRgb);
}

void ButtonPicturesTest::pictureMovesWhenShadowIsFaceColour() {
    auto* b = PictureFace();
    b->SetShadowColor(kFace);
    b->SetValue(true);
    const QImage image = Render(b);
    QCOMPARE(image.pixel(5, 5), kFaceRgb);
    QCOMPARE(image.pixel(6, 6), kInk); // moved (1, 1) while latched
    QCOMPARE(image.pixel(11, 11), kInk);
}

void ButtonPicturesTest::disabledEmbossWithoutDisabledPicture() {
    auto* b = PictureFace();
    b->SetBtnHighlightColor(0xFFFFFF);
    b->SetBtnShadowColor(0x000000);
    b->setEnabled(false);
    const QImage image = Render(b);
    QCOMPARE(image.pixel(4, 4), qRgb(0, 0, 0));         // shadow copy at -1
    QCOMPARE(image.pixel(11, 11), qRgb(255, 255, 255)); // highlight copy at +1
    QCOMPARE(image.pixel(7, 7), kFaceRgb);              // face colour on top
}

void ButtonPicturesTest::disabledPictureUsedWhenTaller() {
    auto* b = PictureFace();
    b->SetPictureDisabled(Square(6, qRgb(0, 0, 200)));
    b->setEnabled(false);
    QCOMPARE(Render(b).pixel(7, 7), qRgb(0, 0, 200));
}

void ButtonPicturesTest::grayedPictureUntilHot() {
    auto* b = PictureFace();
    b->SetPictureUp(Square(6, qRgb(30, 60, 90)));
    b->SetGrayed(true);
    QImage image = Render(b);
    QCOMPARE(image.pixel(7, 7), qRgb(60, 60, 60));
    QCOMPARE(image.pixel(12, 12), kFaceRgb); // no shadow while grey
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(b, &enter);
    image = Render(b);
    QCOMPARE(image.pixel(7, 7), qRgb(30, 60, 90));
}

void ButtonPicturesTest::transparentColourCutFromBitmaps() {
    QImage bitmap(6, 6, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 255));
    bitmap.setPixel(2, 2, kInk);
    auto* b = PictureFace();
    b->SetPictureUp(bitmap);
    const QImage image = Render(b);
    QCOMPARE(image.pixel(5, 5), kFaceRgb);
    QCOMPARE(image.pixel(7, 7), kInk);
    QCOMPARE(image.pixel(9, 9), kShadowRgb);
}

void ButtonPicturesTest::ditherOnLatchedToggle() {
    auto* b = new ToxGraphicButton(container_);
    b->resize(20, 20);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    b->SetColor(kFace);
    b->SetButtonType(ToxButtonType::oxbToggle);
    b->SetValue(true);
    const QImage image = Render(b);
    QCOMPARE(image.pixel(4, 4), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(5, 4), kFaceRgb);
    QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    b->Background().SetDitherDown(false);
    QCOMPARE(Render(b).pixel(4, 4), kFaceRgb);
}

void ButtonPicturesTest::focusRectangleAroundCaption() {
    auto* b = new ToxGraphicButton(container_);
    b->resize(60, 30);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    b->SetColor(kFace);
    b->SetCaption("ab");
    b->SetTextX(0);
    b->SetTextY(0);
    b->SetFocusStyle(fsDefault | fsText);
    b->SetFocused(true);
    const QImage image = Render(b);
    const QRect t = b->TextRect();
    QVERIFY(!t.isEmpty());
    // Every other pixel of the outline is inverted, starting at the corner.
    QCOMPARE(image.pixel(t.topLeft()), qRgb(0xBF, 0xBF, 0xBF));
    QCOMPARE(image.pixel(t.left() + 1, t.top()), kFaceRgb);
    QCOMPARE(image.pixel(t.left() + 2, t.top()), qRgb(0xBF, 0xBF, 0xBF));
}

void ButtonPicturesTest::wrapperMarginsTakeParentColour() {
    QPalette pal = container_->palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    container_->setPalette(pal);
    auto* w = new ToxButton(container_);
    w->resize(30, 20);
    w->SetStyle(ToxBtnStyle::bsWinXP);
    w->SetColor(kFace);
    w->SetBorderInset({3, 0, 0, 0});
    const QImage image = w->grab().toImage();
    QCOMPARE(image.pixel(1, 10), qRgb(10, 20, 30));
    QCOMPARE(image.pixel(10, 10), kFaceRgb);
}

void ButtonPicturesTest::insetClampedToSize() {
    auto* b = new ToxGraphicButton(container_);
    b->resize(30, 20);
    b->SetBorderInset({25, 15, 25, 15});
    QCOMPARE(b->BorderInset(), (ToxBorderInset{25, 15, 5, 5}));
}

void ButtonPicturesTest::withoutCacheEveryPaintDraws() {
    auto* b = new ToxGraphicButton(container_);
    b->SetOptions(0);
    Render(b);
    Render(b);
    QCOMPARE(b->DrawCount(), 2);
    QVERIFY(!b->SlotValid(0));
}

void ButtonPicturesTest::rotatedCaptionDraws() {
    auto* b = new ToxGraphicButton(container_);
    b->resize(40, 60);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    b->SetColor(0xFFFFFF);
    b->SetFontColor(0x000000);
    b->SetCaption("Wide");
    b->SetTextAngle(90);
    b->SetTextX(0);
    b->SetTextY(0);
    const QImage image = Render(b);
    // Upright text would be wider than tall; turned, its ink is taller.
    int top = 60, bottom = -1, left = 40, right = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 40; ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    QVERIFY(bottom >= top);
    QVERIFY2(bottom - top > right - left, "caption not turned");
}

QTEST_MAIN(ButtonPicturesTest)
#include "button_pictures_test.moc"
