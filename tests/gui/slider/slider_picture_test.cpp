// The kept picture of a fader gives the very pixels of a fader that draws
// everything afresh: after page switches and after every setting that shapes
// the unchanging part, for both looks and both display modes.

#include "SliderFixture.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

#include <QPalette>
#include <QScreen>

namespace {

// A fader that keeps its picture and one that does not, alike in all else.
struct FaderPair {
    std::unique_ptr<TSkVSlider> kept = MakeFader(0);
    std::unique_ptr<TSkVSlider> fresh = MakeFader(0);

    FaderPair(bool gradient, bool digits) {
        fresh->SetKeepPicture(false);
        for (TSkVSlider* s : {kept.get(), fresh.get()}) {
            s->BevelOuter()->SurfaceGrad()->SetVisible(gradient);
            // The display modes: levels as 0..255 or as a percentage.
            s->SignalSettings()->SetValueTo(digits ? 255.0f : 100.0f);
            s->SignalSettings()->SetValueUnit(digits ? QString() : QStringLiteral("%"));
        }
        fresh->move(kept->x() + 80, kept->y());
    }
    bool Show() { return ShowPainted(*kept) && ShowPainted(*fresh); }
    // The kept fader takes the change as a page switch does, drawn once at
    // its end and shown in the window's next pass; the fresh one draws
    // everything after every step.
    void Apply(const std::function<void(TSkVSlider&)>& change) {
        kept->RedrawAfter([&] { change(*kept); });
        change(*fresh);
        fresh->Refresh();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
};

// One slot of a page switch as the bank loads it into a fader.
std::function<void(TSkVSlider&)> LoadSlot(int channel, int level, const QString& name1,
                                          const QString& name2, TColor color) {
    return [=](TSkVSlider& s) {
        s.SetTag(channel);
        s.SetDigit(level);
        s.SignalSettings()->SetName1(name1);
        s.SignalSettings()->SetName2(name2);
        s.SetColorNonFocus(color);
    };
}

QString FirstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(b.pixel(x, y), 8, 16);
    return {};
}

// What the window shows of a fader: its backing store, not a fresh rendering.
QImage Shown(QWidget& w) {
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The canvas and the window as the change left them.
#define COMPARE_SHOWN(pair)                                                                        \
    do {                                                                                           \
        QCOMPARE(FirstDifference((pair).kept->Canvas(), (pair).fresh->Canvas()), QString());       \
        QCOMPARE(FirstDifference(Shown(*(pair).kept), (pair).fresh->Canvas()), QString());         \
    } while (false)

// The same, then a full repaint of each.
#define COMPARE_PICTURES(pair)                                                                     \
    do {                                                                                           \
        COMPARE_SHOWN(pair);                                                                       \
        QCOMPARE(FirstDifference((pair).kept->grab().toImage(), (pair).fresh->grab().toImage()),   \
                 QString());                                                                       \
    } while (false)

using Change = std::function<void(TSkVSlider&)>;

// Counts the passes in which a window paints what was marked for it.
class UpdateRequestCounter : public QObject {
public:
    explicit UpdateRequestCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::UpdateRequest) ++count;
        return false;
    }
};

} // namespace

class SliderPictureTest : public QObject {
    Q_OBJECT
private slots:
    void pageSwitchesKeepThePicture_data() {
        QTest::addColumn<bool>("gradient");
        QTest::addColumn<bool>("digits");
        QTest::newRow("plain, percent") << false << false;
        QTest::newRow("plain, digits") << false << true;
        QTest::newRow("gradient, percent") << true << false;
        QTest::newRow("gradient, digits") << true << true;
    }
    void pageSwitchesKeepThePicture() {
        QFETCH(bool, gradient);
        QFETCH(bool, digits);
        FaderPair pair(gradient, digits);
        QVERIFY(pair.Show());
        COMPARE_PICTURES(pair);
        const int builds = pair.kept->PictureBuilds();
        const int paints = pair.kept->FullPaintCount();
        // Captions whose ink stays out of the trench rows go over the kept picture;
        // accents reaching up to the knob column make the fader draw everything.
        const QList<std::pair<Change, bool>> pages = {
            {LoadSlot(33, 200, {}, {}, clGray), true},
            {LoadSlot(65, 0, QStringLiteral("Wash"), QStringLiteral("Stage L"), clRed), true},
            {LoadSlot(66, 3, QStringLiteral("Front"), QStringLiteral("0123"), clLime), true},
            {LoadSlot(97, 255, QStringLiteral("ÅÉǺ gjpqy"), QStringLiteral("ÇÖ_|"), clYellow),
             false},
            {LoadSlot(1, 17, QStringLiteral("A rather long caption"), {}, 0x123456), true},
            {LoadSlot(1, 17, {}, QStringLiteral("W"), clGray), true},
        };
        bool lastOverKept = true;
        for (const auto& [page, overKept] : pages) {
            const int afresh = pair.kept->PaintsAfresh();
            const int over = pair.kept->RedrawsOverKept();
            const int full = pair.kept->FullPaintCount();
            pair.Apply(page);
            COMPARE_SHOWN(pair);
            QCOMPARE(pair.kept->PaintsAfresh() == afresh, overKept);
            // Between two pages that both keep the face, only the captions,
            // knob and read-out are drawn: no whole picture is copied.
            if (overKept && lastOverKept) {
                QCOMPARE(pair.kept->RedrawsOverKept(), over + 1);
                QCOMPARE(pair.kept->FullPaintCount(), full);
            }
            lastOverKept = overKept;
        }
        COMPARE_PICTURES(pair);
        QVERIFY(pair.kept->FullPaintCount() > paints);
        QCOMPARE(pair.kept->PictureBuilds(), builds); // no page switch redrew the face
    }

    void everySettingRedrawsTheKeptPicture_data() {
        QTest::addColumn<Change>("change");
        const auto row = [](const char* name, Change c) { QTest::newRow(name) << c; };
        row("size", [](TSkVSlider& s) { s.resize(70, 230); });
        row("options", [](TSkVSlider& s) { s.SetOptions(AllVSliderOptions); });
        row("no outer bevel", [](TSkVSlider& s) { s.SetOptions(s.Options() & ~opBevelOuter); });
        row("no unit", [](TSkVSlider& s) { s.SetOptions(s.Options() & ~opUnit); });
        row("button size", [](TSkVSlider& s) { s.SetButtonSize(40); });
        row("trench colour", [](TSkVSlider& s) { s.SetColorTrench(clRed); });
        row("outer colour", [](TSkVSlider& s) { s.BevelOuter()->SetColor(clAqua); });
        row("outer width", [](TSkVSlider& s) { s.BevelOuter()->SetWidth(4); });
        row("outer line", [](TSkVSlider& s) { s.BevelOuter()->SetBevelLine(blBoth); });
        row("outer style", [](TSkVSlider& s) { s.BevelOuter()->SetStyle(bsRaised); });
        row("outer spacing", [](TSkVSlider& s) { s.BevelOuter()->SetSpacing(4); });
        row("outer shadow", [](TSkVSlider& s) { s.BevelOuter()->SetColorShadowFrom(clRed); });
        row("outer shadow to", [](TSkVSlider& s) { s.BevelOuter()->SetColorShadowTo(clRed); });
        row("outer light", [](TSkVSlider& s) { s.BevelOuter()->SetColorHighLightFrom(clRed); });
        row("outer light to", [](TSkVSlider& s) { s.BevelOuter()->SetColorHighLightTo(clRed); });
        row("outer pen", [](TSkVSlider& s) {
            s.BevelOuter()->SetBevelLine(blOuter);
            s.BevelOuter()->SetPenColor(clRed);
        });
        row("outer offset", [](TSkVSlider& s) { s.BevelOuter()->Offset()->SetTop(3); });
        row("gradient", [](TSkVSlider& s) {
            auto* g = s.BevelOuter()->SurfaceGrad();
            g->SetVisible(!g->Visible());
        });
        row("gradient colours", [](TSkVSlider& s) {
            auto* g = s.BevelOuter()->SurfaceGrad();
            g->SetVisible(true);
            g->SetColorFrom(clYellow);
            g->SetColorTo(clBlue);
        });
        row("gradient style", [](TSkVSlider& s) {
            s.BevelOuter()->SurfaceGrad()->SetVisible(true);
            s.BevelOuter()->SurfaceGrad()->SetStyle(gsVertical1);
        });
        row("read-out colour", [](TSkVSlider& s) { s.BevelValue()->SetColor(clNavy); });
        row("read-out width", [](TSkVSlider& s) { s.BevelValue()->SetWidth(3); });
        row("caption font", [](TSkVSlider& s) { s.Font()->SetSize(9); });
        row("caption colour", [](TSkVSlider& s) { s.Font()->SetColor(clRed); });
        row("caption style", [](TSkVSlider& s) { s.Font()->SetStyle(fsItalic); });
        row("value font", [](TSkVSlider& s) { s.FontValue()->SetSize(12); });
        row("value font name", [](TSkVSlider& s) { s.FontValue()->SetName("DejaVu Serif"); });
        row("scale colour", [](TSkVSlider& s) { s.ScaleSettings()->SetColor(clRed); });
        row("scale line", [](TSkVSlider& s) { s.ScaleSettings()->SetDrawLine(false); });
        row("scale steps", [](TSkVSlider& s) { s.ScaleSettings()->SetSteps(4); });
        row("scale substeps", [](TSkVSlider& s) { s.ScaleSettings()->SetSubSteps(3); });
        row("scale thin line", [](TSkVSlider& s) { s.ScaleSettings()->ThinLineWidth = 2; });
        row("scale labels", [](TSkVSlider& s) { s.SetOptions(s.Options() | opScaleText); });
        row("scale font", [](TSkVSlider& s) {
            s.SetOptions(s.Options() | opScaleText);
            TSkFont f(QStringLiteral("Arial"), 6, clGreen);
            s.ScaleSettings()->SetFont(f);
        });
        row("scale format", [](TSkVSlider& s) {
            s.SetOptions(s.Options() | opScaleText);
            s.ScaleSettings()->SetValueFormat(QStringLiteral("0.0"));
        });
        row("range", [](TSkVSlider& s) { s.SignalSettings()->SetValueTo(255.0f); });
        row("range start", [](TSkVSlider& s) { s.SignalSettings()->SetValueFrom(10.0f); });
        row("unit", [](TSkVSlider& s) { s.SignalSettings()->SetValueUnit(QStringLiteral("dB")); });
        row("value format",
            [](TSkVSlider& s) { s.SignalSettings()->SetValueFormat(QStringLiteral("##0.00")); });
        row("too small", [](TSkVSlider& s) { s.resize(63, 60); });
    }
    void everySettingRedrawsTheKeptPicture() {
        QFETCH(Change, change);
        for (const bool gradient : {false, true}) {
            FaderPair pair(gradient, false);
            QVERIFY(pair.Show());
            pair.Apply(LoadSlot(5, 99, QStringLiteral("Front"), QStringLiteral("Wash"), clGray));
            const int builds = pair.kept->PictureBuilds();
            pair.Apply(change);
            QVERIFY(Settled());
            COMPARE_PICTURES(pair);
            QVERIFY(pair.kept->PictureBuilds() > builds);
        }
    }

    void paletteChangeRedrawsTheKeptPicture() {
        FaderPair pair(false, false);
        QVERIFY(pair.Show());
        const QPalette before = QGuiApplication::palette();
        QPalette changed = before;
        changed.setColor(QPalette::Button, QColor(0x40, 0x80, 0xC0));
        changed.setColor(QPalette::Dark, QColor(0x10, 0x20, 0x30));
        QGuiApplication::setPalette(changed);
        pair.Apply([](TSkVSlider&) {});
        const QRgb face = ToQColor(clBtnFace).rgb();
        QGuiApplication::setPalette(before);
        QCOMPARE(pair.kept->Canvas().pixel(2, 2), face);
        COMPARE_PICTURES(pair);
    }

    void redrawnCanvasesShowInOneWindowPass() {
        QWidget window;
        window.resize(4 * 63, 210);
        std::vector<std::unique_ptr<TSkVSlider>> faders;
        std::vector<std::unique_ptr<PaintRecorder>> recorders;
        for (int i = 0; i < 4; ++i) {
            faders.push_back(MakeFader(i));
            faders.back()->setParent(&window);
            faders.back()->move(63 * i, 0);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (auto& f : faders)
            QTRY_VERIFY(f->BackgroundValid());
        QVERIFY(Settled());
        UpdateRequestCounter passes(&window);
        std::vector<int> before;
        for (auto& f : faders) {
            recorders.push_back(std::make_unique<PaintRecorder>(f.get()));
            before.push_back(f->FullPaintCount());
            const int knobs = f->ValueDisplayDraws();
            const int over = f->RedrawsOverKept();
            f->RedrawAfter([&] { LoadSlot(40, 200, QStringLiteral("Spot"), {}, clYellow)(*f); });
            // The canvas is complete at once: the knob in its new colour, the caption drawn,
            // and the knob drawn once although both level and colour changed.
            QCOMPARE(f->Canvas().pixel(f->KnobCentre()), ToQColor(clYellow).rgb());
            QCOMPARE(f->ValueDisplayDraws(), knobs + 1);
            QCOMPARE(f->RedrawsOverKept(), over + 1);
        }
        QTRY_VERIFY(std::all_of(recorders.begin(), recorders.end(),
                                [](const auto& r) { return r->events > 0; }));
        QVERIFY(Settled());
        QCOMPARE(passes.count, 1);
        for (std::size_t i = 0; i < faders.size(); ++i) {
            QCOMPARE(recorders[i]->events, 1);
            // Drawn over the kept picture, shown in part: no full paint.
            QCOMPARE(faders[i]->FullPaintCount(), before[i]);
            QCOMPARE(
                FirstDifference(Shown(window).copy(faders[i]->geometry()), faders[i]->Canvas()),
                QString());
            QCOMPARE(FirstDifference(faders[i]->grab().toImage(), faders[i]->Canvas()), QString());
        }
    }

    void fadersAlikeShareOnePicture() {
        // A trench colour no other test uses, so no earlier fader has drawn this look.
        const auto alike = [] {
            auto s = MakeFader(30);
            s->SetColorTrench(0x0A0B0C);
            return s;
        };
        auto first = alike();
        auto second = alike();
        auto fresh = alike();
        fresh->SetKeepPicture(false);
        const int draws = TSkVSlider::SharedPictureDraws();
        QVERIFY(ShowPainted(*first));
        QCOMPARE(TSkVSlider::SharedPictureDraws(), draws + 1);
        QVERIFY(ShowPainted(*second));
        QCOMPARE(TSkVSlider::SharedPictureDraws(), draws + 1);
        QVERIFY(ShowPainted(*fresh));
        QCOMPARE(FirstDifference(second->Canvas(), fresh->Canvas()), QString());
        // One input differs: that fader draws its own, and the others keep theirs.
        second->SetColorTrench(0x0C0B0A);
        second->Refresh();
        QCOMPARE(TSkVSlider::SharedPictureDraws(), draws + 2);
        fresh->SetColorTrench(0x0C0B0A);
        fresh->Refresh();
        QCOMPARE(FirstDifference(second->Canvas(), fresh->Canvas()), QString());
        first->Refresh();
        QCOMPARE(TSkVSlider::SharedPictureDraws(), draws + 2);
    }

    void aFailedBatchLeavesTheFaderRepainting() {
        auto s = MakeFader(50);
        QVERIFY(ShowPainted(*s));
        QVERIFY(Settled());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, s->RedrawAfter([&] {
            s->SetDigit(80);
            throw std::runtime_error("the table refused a channel");
        }));
        const int knobs = s->ValueDisplayDraws();
        s->SetDigit(90); // drawn at once again
        QCOMPARE(s->ValueDisplayDraws(), knobs + 1);
        const int paints = s->FullPaintCount();
        s->SetColorTrench(clRed); // and a change of look reaches the window
        QTRY_VERIFY(s->FullPaintCount() > paints);
    }

    void redrawOfAHiddenFaderWaitsForItsShow() {
        auto s = MakeFader(50);
        const int paints = s->FullPaintCount();
        s->RedrawCanvas();
        QCOMPARE(s->FullPaintCount(), paints);
        QVERIFY(ShowPainted(*s));
        QCOMPARE(s->FullPaintCount(), paints + 1);
    }

    void redrawBeforeTheWindowIsOnScreenWaitsForItsFirstPaint() {
        QWidget window;
        window.resize(63, 210);
        auto s = MakeFader(20);
        s->setParent(&window);
        window.show();
        if (window.windowHandle()->isExposed()) QSKIP("this platform shows windows at once");
        // Shown, not yet on the screen: the batch is only marked for the first paint.
        const int paints = s->FullPaintCount();
        s->RedrawAfter([&] { LoadSlot(77, 140, QStringLiteral("Wash"), {}, clAqua)(*s); });
        QCOMPARE(s->FullPaintCount(), paints);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(s->BackgroundValid());
        QVERIFY(Settled());
        QCOMPARE(s->FullPaintCount(), paints + 1);
        auto fresh = MakeFader(0);
        fresh->SetKeepPicture(false);
        LoadSlot(77, 140, QStringLiteral("Wash"), {}, clAqua)(*fresh);
        QVERIFY(ShowPainted(*fresh));
        QCOMPARE(FirstDifference(Shown(window).copy(s->geometry()), fresh->Canvas()), QString());
    }

    void keepingSwitchedOffAndOn() {
        auto s = MakeFader(10);
        QVERIFY(ShowPainted(*s));
        const QImage kept = s->Canvas();
        s->SetKeepPicture(false);
        QVERIFY(!s->KeepPicture());
        const int builds = s->PictureBuilds();
        s->Refresh();
        QCOMPARE(s->PictureBuilds(), builds);
        QCOMPARE(FirstDifference(s->Canvas(), kept), QString());
        s->SetKeepPicture(true);
        s->Refresh();
        QCOMPARE(s->PictureBuilds(), builds + 1);
        QCOMPARE(FirstDifference(s->Canvas(), kept), QString());
    }

private:
    static bool Settled() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return true;
    }
};

QTEST_MAIN(SliderPictureTest)
#include "slider_picture_test.moc"
