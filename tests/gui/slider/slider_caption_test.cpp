// Caption lines longer than the fader is wide stay inside its outer bevel.

#include "SliderFixture.h"

namespace {

QRgb At(const QImage& img, int x, int y) {
    return img.pixel(x, y) | 0xFF000000u;
}

// Pixels of the caption rows that lie outside the fader's content rectangle
// and differ between the two pictures.
int InkOutsideContent(const QImage& plain, const QImage& captioned, const TVSliderLayout& l,
                      int lineHeight) {
    int n = 0;
    const int top = std::max(0, l.Name1Bottom - lineHeight);
    for (int y = top; y < l.Name2Bottom && y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const bool inside = x >= l.Content.Left && x < l.Content.Right && y >= l.Content.Top &&
                                y < l.Content.Bottom;
            if (!inside && At(plain, x, y) != At(captioned, x, y)) ++n;
        }
    return n;
}

// Columns of the row band holding caption ink (not the face colour).
int InkColumns(const QImage& img, const TVSliderLayout& l, int bottom, int lineHeight) {
    int columns = 0;
    for (int x = l.Content.Left; x < l.Content.Right; ++x)
        for (int y = std::max(0, bottom - lineHeight); y < bottom; ++y)
            if (At(img, x, y) != (ToQColor(clBtnFace).rgb() | 0xFF000000u)) {
                ++columns;
                break;
            }
    return columns;
}

} // namespace

class SliderCaptionTest : public QObject {
    Q_OBJECT
private slots:
    void twelveWideCharactersStayInsideTheFader() {
        auto plain = MakeFader(0);
        plain->SignalSettings()->SetName1(QString());
        plain->SignalSettings()->SetName2(QString());
        QVERIFY(ShowPainted(*plain));

        auto wide = MakeFader(0);
        wide->SignalSettings()->SetName1(QStringLiteral("WWWWWWWWWWWW"));
        wide->SignalSettings()->SetName2(QStringLiteral("MMMMMMMMMMMM"));
        QVERIFY(ShowPainted(*wide));
        QCOMPARE(wide->Canvas().size(), plain->Canvas().size());

        const TVSliderLayout& l = wide->Layout();
        const int lineHeight = l.Name2Bottom - l.Name1Bottom;
        QVERIFY(lineHeight > 0);
        QCOMPARE(InkOutsideContent(plain->Canvas(), wide->Canvas(), l, lineHeight), 0);
        // Both lines are still drawn, shortened, not dropped.
        QVERIFY(InkColumns(wide->Canvas(), l, l.Name1Bottom, lineHeight) > 10);
        QVERIFY(InkColumns(wide->Canvas(), l, l.Name2Bottom, lineHeight) > 10);
    }

    void captionThatFitsIsNotShortened() {
        auto s = MakeFader(0);
        s->SignalSettings()->SetName1(QStringLiteral("Spot 12"));
        s->SignalSettings()->SetName2(QString());
        QVERIFY(ShowPainted(*s));
        const TVSliderLayout& l = s->Layout();
        const int h = l.Name2Bottom - l.Name1Bottom;
        const int advance = QFontMetrics(s->Font()->ToQFont()).horizontalAdvance("Spot 12");
        QVERIFY(advance < l.Content.Right - l.Content.Left);
        // Ink spans nearly the whole text; an ellipsis would leave it narrower.
        QVERIFY2(InkColumns(s->Canvas(), l, l.Name1Bottom, h) >= advance - 6,
                 qPrintable(QString::number(InkColumns(s->Canvas(), l, l.Name1Bottom, h))));
    }
};

QTEST_MAIN(SliderCaptionTest)
#include "slider_caption_test.moc"
