// A full paint of a fader, over its kept picture or drawn afresh, against one
// value change, which redraws only the knob column and the read-out. Run
// under QT_QPA_PLATFORM=offscreen or a display.

#include <memory>

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <benchmark/benchmark.h>

#include "bank/FaderLook.h"
#include "slider/VSlider.h"

namespace {

std::unique_ptr<TSkVSlider> ShownFader(bool gradient, bool keep = true) {
    auto s = std::make_unique<TSkVSlider>();
    ApplyFaderLook(*s, gradient);
    s->SetKeepPicture(keep);
    s->SetColorNonFocus(clGray);
    s->resize(63, 210);
    s->show();
    (void)QTest::qWaitForWindowExposed(s.get());
    s->repaint();
    return s;
}

// A full paint over the kept picture, and one with everything drawn afresh.
void BM_FullPaint(benchmark::State& state) {
    auto s = ShownFader(state.range(0) != 0, state.range(1) != 0);
    for (auto _ : state)
        s->repaint();
    state.counters["full_paints"] = s->FullPaintCount();
    state.counters["picture_builds"] = s->PictureBuilds();
}
BENCHMARK(BM_FullPaint)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"gradient", "kept"});

// One value change; `shown` also carries it through to the window: the
// queued partial paint and the platform's backing-store flush.
void DigitChanges(benchmark::State& state, bool shown) {
    auto s = ShownFader(state.range(0) != 0);
    const int before = s->FullPaintCount();
    int digit = 0;
    for (auto _ : state) {
        digit = (digit + 1) & 0xFF;
        s->SetDigit(digit);
        if (shown) QCoreApplication::processEvents();
    }
    state.counters["extra_full_paints"] = s->FullPaintCount() - before;
}

void BM_DigitChange(benchmark::State& state) {
    DigitChanges(state, false);
}
BENCHMARK(BM_DigitChange)->Arg(0)->Arg(1)->ArgName("gradient");

void BM_DigitChangeShown(benchmark::State& state) {
    DigitChanges(state, true);
}
BENCHMARK(BM_DigitChangeShown)->Arg(0)->Arg(1)->ArgName("gradient");

// The bank's elliptic face painted afresh (sizes cycled past the kept pictures).
void BM_EllipticFaceUncached(benchmark::State& state) {
    QImage img(57, 220, QImage::Format_RGB32);
    QPainter p(&img);
    int h = 0;
    for (auto _ : state) {
        h = (h + 1) % 16;
        FillGradient(p, {0, 0, 57, 204 + h}, 0xE2E2E2, 0x8F8F8F, gsElliptic1);
    }
}
BENCHMARK(BM_EllipticFaceUncached);

} // namespace
