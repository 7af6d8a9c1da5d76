// The slider's pictures: geometry read back from its canvas, the drawing
// routines rendered into images, and how much a value change repaints.

#include "SliderFixture.h"

#include <QPainter>

namespace {

QRgb Rgb(TColor c) {
    return ToQColor(c).rgb();
}
QRgb At(const QImage& img, QPoint p) {
    return img.pixel(p) | 0xFF000000u;
}

// Rows of column x whose pixel is `color`, grouped into runs.
int RunsInColumn(const QImage& img, int x, QRgb color) {
    int runs = 0;
    bool inRun = false;
    for (int y = 0; y < img.height(); ++y) {
        const bool hit = At(img, {x, y}) == color;
        if (hit && !inRun) ++runs;
        inRun = hit;
    }
    return runs;
}

// Rightmost column in the rectangle holding a pixel other than `background`.
int RightmostInk(const QImage& img, const TSkRect& r, QRgb background) {
    for (int x = r.Right - 1; x >= r.Left; --x)
        for (int y = r.Top; y < r.Bottom; ++y)
            if (At(img, {x, y}) != background) return x;
    return -1;
}

bool Settled() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return true;
}

} // namespace

class SliderPaintTest : public QObject {
    Q_OBJECT
private slots:
    void knobOfSize53() {
        auto s = MakeFader(128);
        QVERIFY(ShowPainted(*s));
        QCOMPARE(s->ButtonSize(), 53);
        QCOMPARE(s->KnobLength(), 21);
        QCOMPARE(s->KnobBreadth(), 53);
        const QImage& c = s->Canvas();
        const QPoint k = s->KnobCentre();
        const int left = k.x() - 26, right = k.x() + 26, top = k.y() - 11, bottom = k.y() + 11;
        QCOMPARE(right - left + 1, 53);
        QCOMPARE(bottom - top + 1, 23);
        QCOMPARE(At(c, {left, k.y()}), Rgb(clBtnShadow));
        QCOMPARE(At(c, {left + 1, k.y()}), Rgb(clBtnHighlight));
        QCOMPARE(At(c, {left + 2, k.y()}), Rgb(clBtnFace));
        QCOMPARE(At(c, {left + 4, k.y()}), Rgb(clBlack)); // face inset 4, outlined
        QCOMPARE(At(c, {left + 5, k.y()}), Rgb(s->ColorNonFocus()));
        QCOMPARE(At(c, {right, k.y()}), Rgb(clBlack));
        QCOMPARE(At(c, {k.x(), top}), Rgb(clBtnShadow));
        QCOMPARE(At(c, {k.x(), bottom}), Rgb(clBlack));
        QVERIFY(At(c, {k.x(), bottom + 1}) != Rgb(clBlack));
    }

    void buttonSizeCorrections() {
        auto s = MakeFader(0);
        s->SetButtonSize(10);
        QCOMPARE(s->ButtonSize(), 18);
        s->SetButtonSize(80);
        QCOMPARE(s->ButtonSize(), 63);
        s->SetButtonSize(53);
        s->resize(40, 210); // the next paint corrects it to the new width
        QVERIFY(ShowPainted(*s));
        QCOMPARE(s->ButtonSize(), 40);
        QCOMPARE(s->KnobLength(), 16);
    }

    void knobCentreAtTheEndsMeetsTheEndTicks() {
        auto s = MakeFader(255);
        QVERIFY(ShowPainted(*s));
        QCOMPARE(s->KnobCentre().y(), s->TrenchRect().Top);
        // The last tick is on the trench's bottom row (the knob is away at the top).
        const int tickX = s->Layout().LeftScale.Right;
        QCOMPARE(At(s->Canvas(), {tickX, s->TrenchRect().Bottom}), Rgb(cl3DDkShadow));
        s->SetDigit(0);
        QCOMPARE(s->KnobCentre().y(), s->TrenchRect().Bottom);
        QCOMPARE(At(s->Canvas(), {tickX, s->TrenchRect().Top}), Rgb(cl3DDkShadow));
        QVERIFY(At(s->Canvas(), {tickX, s->TrenchRect().Top - 2}) != Rgb(cl3DDkShadow));
    }

    void captionLinesNavyAndStacked() {
        auto s = MakeFader(0);
        s->SignalSettings()->SetName1(QStringLiteral("WWWW"));
        s->SignalSettings()->SetName2(QString());
        QVERIFY(ShowPainted(*s));
        const TVSliderLayout& l = s->Layout();
        QVERIFY(l.Name1Bottom < l.Name2Bottom);
        auto navyRows = [&](int from, int to) { // rows with text ink inside the rings
            int n = 0;
            for (int y = from; y < to; ++y)
                for (int x = 3; x < s->width() - 3; ++x)
                    if (At(s->Canvas(), {x, y}) != Rgb(clBtnFace)) {
                        ++n;
                        break;
                    }
            return n;
        };
        QVERIFY(navyRows(l.Name1Bottom - 11, l.Name1Bottom) > 0);
        QCOMPARE(navyRows(l.Name1Bottom, l.Name2Bottom), 0);
    }

    void tooSmallShowsNoTrenchAndIgnoresValues() {
        auto s = MakeFader(0);
        s->resize(63, 40);
        s->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.get()));
        QTRY_VERIFY(s->FullPaintCount() > 0);
        QVERIFY(s->TooSmall());
        QVERIFY(!s->BackgroundValid());
        PaintRecorder rec(s.get());
        const QImage before = s->Canvas();
        s->SetDigit(200);
        QVERIFY(Settled());
        QCOMPARE(rec.events, 0);
        QCOMPARE(s->Canvas(), before);
        QVERIFY(s->KnobHitRect().IsEmpty());
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(31, 25));
        QCOMPARE(s->Digit(), 200);
    }

    void valueReadOutIsRightAligned() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        const TSkRect box = s->ValueBoxRect();
        const int right0 = RightmostInk(s->Canvas(), box, Rgb(clBlack));
        s->SetDigit(255);
        QCOMPARE(s->ValueText(), QStringLiteral("100"));
        const int right100 = RightmostInk(s->Canvas(), box, Rgb(clBlack));
        QVERIFY(right0 > box.Left);
        QCOMPARE(right100, right0);
        QCOMPARE(At(s->Canvas(), {right0, box.Top + box.Height() / 2}) != Rgb(clBlack), true);
    }

    void gradientFaceOnAndOff() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        QCOMPARE(At(s->Canvas(), {2, 2}), Rgb(clBtnFace));
        s->BevelOuter()->SurfaceGrad()->SetVisible(true);
        QVERIFY(Settled());
        QCOMPARE(At(s->Canvas(), {2, 2}), Rgb(clBtnFace)); // no repaint by itself
        s->Refresh();
        QCOMPARE(At(s->Canvas(), {2, 2}), Rgb(0x8F8F8F));
        s->BevelOuter()->SurfaceGrad()->SetVisible(false);
        s->Refresh();
        QCOMPARE(At(s->Canvas(), {2, 2}), Rgb(clBtnFace));
    }

    void loadedSliderRepaintsOnSettingsChange() {
        TSkVSlider s;
        s.Loaded();
        QCOMPARE(s.UpdateCount(), 0);
        QVERIFY(ShowPainted(s));
        const int painted = s.FullPaintCount();
        s.SetColorTrench(clRed);
        QTRY_VERIFY(s.FullPaintCount() > painted);
        const int again = s.FullPaintCount();
        s.BevelOuter()->SetSpacing(3);
        QTRY_VERIFY(s.FullPaintCount() > again);
        // Painting moves the scale side, which must not ask for yet another paint.
        const int settled = s.FullPaintCount();
        QVERIFY(Settled());
        QCOMPARE(s.FullPaintCount(), settled);
    }

    void focusColoursRepaintEvenWhileHeld() {
        auto s = MakeFader(128);
        QVERIFY(ShowPainted(*s));
        const int painted = s->FullPaintCount();
        s->SetColorTrench(clRed);
        QVERIFY(Settled());
        QCOMPARE(s->FullPaintCount(), painted);
        s->SetColorNonFocus(clYellow);
        QTRY_VERIFY(s->FullPaintCount() > painted);
        const QPoint face = s->KnobCentre();
        QCOMPARE(At(s->Canvas(), face), Rgb(clYellow));
        s->setFocus();
        QTRY_COMPARE(At(s->Canvas(), face), Rgb(clWhite));
        s->SetEnabled(false);
        QCOMPARE(At(s->Canvas(), face), Rgb(clBtnShadow));
    }

    void draggingThrough256DigitsRepaintsOnlyKnobAndReadOut() {
        auto s = MakeFader(0);
        QVERIFY(ShowPainted(*s));
        QVERIFY(Settled());
        PaintRecorder rec(s.get());
        const int fullPaints = s->FullPaintCount();
        QList<int> seen;
        connect(s.get(), &TSkVSlider::digitChanged, [&] { seen << s->Digit(); });
        QTest::mousePress(s.get(), Qt::LeftButton, {}, s->KnobCentre());
        for (int y = s->TrenchRect().Bottom; y >= s->TrenchRect().Top; --y) {
            QTest::mouseMove(s.get(), QPoint(s->KnobCentre().x(), y));
            Settled(); // each step shown on its own
        }
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, s->KnobCentre());
        QCOMPARE(s->Digit(), 255);
        QTest::keyClick(s.get(), Qt::Key_Home);
        for (int i = 0; i < 255; ++i)
            QTest::keyClick(s.get(), Qt::Key_Up); // every digit
        QCOMPARE(s->Digit(), 255);
        QVERIFY(Settled());

        const QRegion allowed = QRegion(s->TrackRect().ToQRect()) + s->ValueBoxRect().ToQRect();
        QVERIFY(rec.events > 0);
        QVERIFY((rec.painted - allowed).isEmpty());
        QCOMPARE(s->FullPaintCount(), fullPaints);
        qint64 area = 0;
        for (const QRect& r : rec.painted)
            area += qint64(r.width()) * r.height();
        qInfo("repainted %lld of %d pixels over %d paints", area, s->width() * s->height(),
              rec.events);
    }

    void ellipticFaceInAnImage() {
        QImage img(57, 204, QImage::Format_RGB32);
        img.fill(Qt::red);
        {
            QPainter p(&img);
            FillGradient(p, {0, 0, 57, 204}, 0xE2E2E2, 0x8F8F8F, gsElliptic1);
        }
        QCOMPARE(At(img, {0, 0}), Rgb(0x8F8F8F));
        QCOMPARE(At(img, {56, 203}), Rgb(0x8F8F8F));
        QCOMPARE(At(img, {28, 102}), Rgb(0xE1E1E1));
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            colours << At(img, {28, y});
        QVERIFY(colours.size() > 60); // the nested steps show along the long axis
    }

    void keptGradientFollowsThePalette() {
        const QPalette saved = QApplication::palette();
        auto face = [] {
            QImage img(30, 30, QImage::Format_RGB32);
            QPainter p(&img);
            FillGradient(p, {0, 0, 30, 30}, 0x000000, clBtnFace, gsElliptic1);
            p.end();
            return At(img, {0, 0});
        };
        QPalette pal = saved;
        pal.setColor(QPalette::Button, QColor(0x10, 0x80, 0x40));
        QApplication::setPalette(pal);
        QCOMPARE(face(), qRgb(0x10, 0x80, 0x40));
        pal.setColor(QPalette::Button, QColor(0x40, 0x20, 0x90));
        QApplication::setPalette(pal);
        QCOMPARE(face(), qRgb(0x40, 0x20, 0x90));
        QApplication::setPalette(saved);
    }

    void equalGradientColoursFillPlain() {
        QImage img(20, 30, QImage::Format_RGB32);
        QPainter p(&img);
        FillGradient(p, {0, 0, 20, 30}, clBtnFace, clBtnFace, gsElliptic1);
        p.end();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 20; ++x)
                QCOMPARE(At(img, {x, y}), Rgb(clBtnFace));
    }

    void equalFrameColoursDrawnUnchanged() {
        TSkSBevel bevel;
        bevel.SetColorShadowFrom(clBtnShadow);
        bevel.SetColorShadowTo(clBtnShadow);
        bevel.SetColorHighLightFrom(clBtnShadow);
        bevel.SetColorHighLightTo(clBtnShadow);
        bevel.SetColor(clWhite);
        QImage img(20, 20, QImage::Format_RGB32);
        QPainter p(&img);
        TSkRect r{0, 0, 20, 20};
        DrawBevelFrame(bevel, p, r);
        p.end();
        QCOMPARE(r, (TSkRect{2, 2, 18, 18}));
        QCOMPARE(At(img, {0, 5}), Rgb(clBtnShadow));
        QCOMPARE(At(img, {1, 5}), Rgb(clBtnShadow));
        QCOMPARE(At(img, {19, 5}), Rgb(clBtnShadow));
        QCOMPARE(At(img, {5, 5}), Rgb(clWhite));
    }

    void bankScaleHas11MajorAnd20MinorTicks() {
        TScaleSettings scale(TScaleSettings::Defaults::Slider);
        scale.SetColor(clBlack);
        scale.SetDrawLine(true);
        scale.SetSteps(10);
        scale.SetSubSteps(2);
        MeasureScaleHorizontal(scale, 0, 100);
        scale.LineWidth = 2;
        scale.Labels.clear();
        QVERIFY(scale.LongTick > scale.ShortTick + 1);
        QImage img(80, 130, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        scale.SetPosLeftTop(false);
        DrawScale(scale, p, {10, 10, 70, 110});
        p.end();
        const QRgb ink = Rgb(clBlack);
        QCOMPARE(RunsInColumn(img, 10 + scale.LongTick - 1, ink), 11);
        QCOMPARE(RunsInColumn(img, 10 + scale.ShortTick - 1, ink),
                 21); // 11 majors, 10 minors between
        QCOMPARE(RunsInColumn(img, 10 + scale.LongTick, ink), 0);
    }

    void scaleLabelsWhenMeasured() {
        TScaleSettings scale;
        scale.SetSteps(10);
        MeasureScaleVertical(scale, 0, 100);
        QCOMPARE(scale.Labels, QStringLiteral("100;90;80;70;60;50;40;30;20;10;0;"));
        QVERIFY(scale.LabelHeight > 0);
        QVERIFY(scale.LabelWidth > 0);
        QCOMPARE(scale.ScaleWidth, scale.LabelWidth + scale.LongTick + scale.LabelGap);
    }

    void alignedTextCorners_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("dx"); // in halves of the text width
        QTest::addColumn<int>("dy");
        for (int a = 0; a < 9; ++a)
            QTest::addRow("alignment%d", a) << a << (a % 3) << (a / 3);
    }
    void alignedTextCorners() {
        QFETCH(int, alignment);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QImage img(200, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(20);
        p.setFont(f);
        p.setPen(Qt::black);
        AlignedTextOut(p, 100, 100, alignment, QStringLiteral("||"));
        p.end();
        const QFontMetrics fm(f);
        const int w = fm.horizontalAdvance(QStringLiteral("||")), h = fm.height();
        const int left = 100 - (dx == 1 ? w / 2 : dx * w / 2);
        const int top = 100 - (dy == 1 ? h / 2 : dy * h / 2);
        int minX = 200, minY = 200, maxX = -1, maxY = -1;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (At(img, {x, y}) != 0xFFFFFFFFu) {
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
                    minY = std::min(minY, y), maxY = std::max(maxY, y);
                }
        QVERIFY(minX >= left && maxX < left + w);
        QVERIFY(minY >= top && maxY < top + h);
    }
};

QTEST_MAIN(SliderPaintTest)
#include "slider_paint_test.moc"
