// What faces draw: gradient rows, bevels, caption placement and the cache.
#include <QPainter>
#include <QtTest>

#include "buttons/Buttons.h"
#include "buttons/CaptionLayout.h"

namespace {

QRgb Rgb(int v) {
    return qRgb(v, v, v);
}

QImage Render(ToxCustomGraphicButton* b) {
    QImage image(b->size(), QImage::Format_RGB32);
    QPainter p(&image);
    b->PaintTo(p);
    return image;
}

} // namespace

class ButtonPaintTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void insetVertGradientRows();
    void noBorderStyles_data();
    void noBorderStyles();
    void downBevelAndCaptionShift();
    void centredAndRightPlacedCaption();
    void captionMeasuresAnswerAsTheFontDoes();
    void linesRoundTrip();
    void emptyCaptionHasNoTextRect();
    void cacheCopiesUntilInvalidated();
    void facesComeBackForEarlierCaptionsColoursAndValues();
    void colorChangeRestartsGradient();
    void bumpConfigurationDraws();
    void parentColourUntilColourSet();

private:
    QWidget* container_ = nullptr;
    ToxGraphicButton* Bump() {
        auto* b = new ToxGraphicButton(container_);
        b->setGeometry(0, 0, 63, 40);
        b->SetStyle(ToxBtnStyle::bsInset);
        b->Background().SetStyle(ToxBackgroundStyle::oxbVertGradient);
        b->SetColor(0xC0C0C0);
        return b;
    }
};

void ButtonPaintTest::init() {
    container_ = new QWidget;
    container_->resize(200, 100);
}

void ButtonPaintTest::cleanup() {
    delete container_;
    container_ = nullptr;
}

void ButtonPaintTest::insetVertGradientRows() {
    auto* b = Bump();
    const QImage image = Render(b);
    // First and last rows inside the three bevel rings, away from the sides.
    QCOMPARE(image.pixel(30, 3), Rgb(250));
    QCOMPARE(image.pixel(30, 36), Rgb(197));
    // The outer ring: shadow on top, highlight at the bottom.
    const QPalette pal = b->palette();
    QCOMPARE(image.pixel(30, 0), ToQColor(clBtnShadow, pal).rgb());
    QCOMPARE(image.pixel(30, 39), ToQColor(clBtnHighlight, pal).rgb());
}

void ButtonPaintTest::noBorderStyles_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("value");
    QTest::newRow("winxp up") << static_cast<int>(ToxBtnStyle::bsWinXP) << false;
    QTest::newRow("winxp down") << static_cast<int>(ToxBtnStyle::bsWinXP) << true;
    QTest::newRow("borderless up") << static_cast<int>(ToxBtnStyle::bsBorderless) << false;
    QTest::newRow("borderless down") << static_cast<int>(ToxBtnStyle::bsBorderless) << true;
}

void ButtonPaintTest::noBorderStyles() {
    QFETCH(int, style);
    QFETCH(bool, value);
    auto* b = new ToxGraphicButton(container_);
    b->resize(30, 20);
    b->SetStyle(static_cast<ToxBtnStyle>(style));
    b->SetColor(0x336699);
    b->Background().SetDitherDown(false);
    b->SetButtonType(ToxButtonType::oxbToggle);
    b->SetValue(value);
    const QImage image = Render(b);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), qRgb(0x99, 0x66, 0x33));
}

void ButtonPaintTest::downBevelAndCaptionShift() {
    auto* b = Bump();
    b->SetCaption("12");
    b->SetTextX(0);
    b->SetTextY(0);
    b->SetButtonType(ToxButtonType::oxbToggle);
    Render(b);
    const QRect up = b->TextRect();
    b->SetValue(true);
    const QImage down = Render(b);
    QCOMPARE(b->TextRect().topLeft(), up.topLeft() + QPoint(1, 1));
    // Down: the third ring is a shadow line along top and left only.
    const QPalette pal = b->palette();
    QCOMPARE(down.pixel(30, 2), ToQColor(clBtnShadow, pal).rgb());
    QVERIFY(down.pixel(30, 37) != ToQColor(clBtnShadow, pal).rgb());

    container_->show();
    b->show();
    QVERIFY(QTest::qWaitForWindowExposed(container_));
    auto* c = Bump();
    c->setGeometry(70, 0, 63, 40);
    c->SetCaption("12");
    c->SetTextX(0);
    c->SetTextY(0);
    c->show();
    Render(c);
    const QRect rest = c->TextRect();
    QTest::mousePress(c, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(c->PressState(), ToxPressState::Pressed);
    Render(c);
    QCOMPARE(c->TextRect().topLeft(), rest.topLeft() + QPoint(2, 2));
    QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(5, 5));
}

void ButtonPaintTest::centredAndRightPlacedCaption() {
    auto* b = Bump();
    b->SetCaption("12");
    b->SetTextX(0);
    b->SetTextY(0);
    Render(b);
    const QRect centred = b->TextRect();
    QVERIFY(!centred.isEmpty());
    QVERIFY(qAbs(centred.left() - (63 - (centred.left() + centred.width()))) <= 1);
    QVERIFY(qAbs(centred.top() - (40 - (centred.top() + centred.height()))) <= 1);
    b->SetTextX(-11);
    Render(b);
    QCOMPARE(b->TextRect().left() + b->TextRect().width(), 63 - 11);
}

void ButtonPaintTest::captionMeasuresAnswerAsTheFontDoes() {
    TCaptionMeasures measures;
    QImage device(63, 40, QImage::Format_RGB32);
    QFont big = QGuiApplication::font();
    big.setPointSize(20);
    big.setBold(true);
    const QRect box(0, 0, 63, 40);
    const int single = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignHCenter;
    const int wrapped = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignRight;
    // Asked twice, in turn, for each font, flag set and text: never another's answer.
    for (int round = 0; round < 2; ++round)
        for (const QFont& font : {QGuiApplication::font(), big})
            for (int flags : {single, wrapped})
                for (const QString& text : {QStringLiteral("12"), QStringLiteral("512"),
                                            QStringLiteral("&Wash left\nstage")}) {
                    const QRect expected =
                        QFontMetrics(font, &device).boundingRect(box, flags, text);
                    QCOMPARE(measures.BoundingRect(font, device, box, flags, text), expected);
                }
    QCOMPARE(measures.Size(), 12);
    QVERIFY(measures.BoundingRect(big, device, box, single, "512") !=
            measures.BoundingRect(QGuiApplication::font(), device, box, single, "512"));
    for (int i = 0; i <= TCaptionMeasures::kLimit; ++i)
        measures.BoundingRect(big, device, box, single, QString::number(i));
    QVERIFY(measures.Size() <= TCaptionMeasures::kLimit);
}

void ButtonPaintTest::linesRoundTrip() {
    auto* b = Bump();
    b->Lines().Add("1 - 32");
    QCOMPARE(b->Caption(), QString("1 - 32"));
    b->Lines().SetLines({"a", "b"});
    QCOMPARE(b->Caption(), QString("a||b"));
    QCOMPARE(b->Lines().Lines(), QStringList({"a", "b"}));
    b->SetMultiLine(true);
    b->SetTextX(0);
    b->SetTextY(0);
    Render(b);
    const int twoLines = b->TextRect().height();
    b->SetMultiLine(false);
    Render(b);
    QVERIFY(twoLines > b->TextRect().height());
}

void ButtonPaintTest::emptyCaptionHasNoTextRect() {
    auto* b = Bump();
    b->SetFocused(true);
    b->SetFocusStyle(fsDefault | fsText);
    Render(b);
    QVERIFY(b->TextRect().isEmpty());
}

void ButtonPaintTest::cacheCopiesUntilInvalidated() {
    auto* b = Bump();
    Render(b);
    QCOMPARE(b->DrawCount(), 1);
    QVERIFY(b->SlotValid(0));
    const QImage again = Render(b);
    QCOMPARE(b->DrawCount(), 1);
    b->SetFocused(true); // another slot
    Render(b);
    QCOMPARE(b->DrawCount(), 2);
    QVERIFY(b->SlotValid(4));
    b->SetFocused(false);
    QCOMPARE(Render(b), again);
    QCOMPARE(b->DrawCount(), 2);
    b->SetColor(0x808080);
    QVERIFY(!b->SlotValid(0));
    b->resize(50, 40);
    QVERIFY(!b->SlotValid(0));
}

void ButtonPaintTest::facesComeBackForEarlierCaptionsColoursAndValues() {
    // A bump as a page switch loads it: caption, colour and value.
    const auto load = [](ToxGraphicButton* b, const QString& caption, TColor color, bool value) {
        b->SetCaption(caption);
        b->SetValue(value);
        b->SetColor(color);
    };
    const auto fresh = [&](const QString& caption, TColor color, bool value) {
        auto* b = Bump();
        b->SetButtonType(ToxButtonType::oxbToggle);
        b->SetGroupAllowNoSel(true);
        load(b, caption, color, value);
        return b;
    };
    auto* b = fresh("1", 0xC0C0C0, false);
    const QImage first = Render(b);
    const QRect firstText = b->TextRect();
    struct Page {
        QString caption;
        TColor color;
        bool value;
    };
    const QList<Page> pages = {{"17", 0xC0C0C0, false},
                               {"17", 0x0000FF, true},
                               {"33", 0x00FF00, false},
                               {"33", 0x800000, false},
                               {"33", 0x800000, true}};
    for (const Page& p : pages) {
        load(b, p.caption, p.color, p.value);
        QCOMPARE(Render(b), Render(fresh(p.caption, p.color, p.value)));
    }
    const int draws = b->DrawCount();
    // Back to pages drawn before: copied, the very pixels and hit area of a fresh drawing.
    for (const Page& p : pages) {
        load(b, p.caption, p.color, p.value);
        QCOMPARE(Render(b), Render(fresh(p.caption, p.color, p.value)));
    }
    load(b, "1", 0xC0C0C0, false);
    QCOMPARE(Render(b), first);
    QCOMPARE(b->TextRect(), firstText);
    QCOMPARE(b->DrawCount(), draws);
    // Any other change of the look forgets them all.
    b->SetFont3D(ToxFontStyle::fsRaised);
    Render(b);
    QCOMPARE(b->DrawCount(), draws + 1);
    load(b, "17", 0xC0C0C0, false);
    Render(b);
    QCOMPARE(b->DrawCount(), draws + 2);
    // The oldest go first when too many are kept.
    for (int i = 0; i < 40; ++i) {
        load(b, QString::number(100 + i), 0xC0C0C0, false);
        Render(b);
    }
    const int many = b->DrawCount();
    load(b, "139", 0xC0C0C0, false);
    Render(b);
    QCOMPARE(b->DrawCount(), many);
    load(b, "100", 0xC0C0C0, false);
    Render(b);
    QCOMPARE(b->DrawCount(), many + 1);
}

void ButtonPaintTest::colorChangeRestartsGradient() {
    auto* b = Bump();
    b->SetColor(0x808080);
    QCOMPARE(b->Background().Color(), 0x808080);
    const QImage image = Render(b);
    // Band 118 from 128 towards 255: 255 - trunc(127/128*118) = 138.
    QCOMPARE(image.pixel(30, 36), Rgb(138));
    b->Background().SetColor(0x404040);
    QCOMPARE(b->Color(), 0x404040);
}

void ButtonPaintTest::bumpConfigurationDraws() {
    auto* b = new ToxButton(container_);
    b->setGeometry(0, 0, 63, 40);
    b->SetStyle(ToxBtnStyle::bsInset);
    b->Background().SetStyle(ToxBackgroundStyle::oxbVertGradient);
    b->Background().SetDitherDown(false);
    b->SetColor(0x808080);
    b->SetCaption("17");
    b->SetTextX(0);
    b->SetTextY(0);
    const QImage image = b->grab().toImage();
    QCOMPARE(image.size(), QSize(63, 40));
    QCOMPARE(image.pixel(30, 36), Rgb(138));
}

void ButtonPaintTest::parentColourUntilColourSet() {
    QPalette pal = container_->palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    container_->setPalette(pal);
    auto* b = new ToxGraphicButton(container_);
    b->resize(20, 20);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    QVERIFY(b->ParentColor());
    QCOMPARE(Render(b).pixel(10, 10), qRgb(1, 2, 3));
    b->SetColor(clBtnFace); // the stored default, set explicitly
    QVERIFY(!b->ParentColor());
    QCOMPARE(Render(b).pixel(10, 10), ToQColor(clBtnFace, b->palette()).rgb());
}

QTEST_MAIN(ButtonPaintTest)
#include "button_paint_test.moc"
