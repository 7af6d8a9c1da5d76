// Painting costs of the button face: a repaint from the appearance cache
// against drawing the appearance, and the page-switch case of 32 bump
// buttons recoloured and repainted.
#include "bank/FaderLook.h"
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include "buttons/Buttons.h"

namespace {

void SetUpBump(ToxButton* b) {
    b->resize(63, 40);
    ApplyBumpLook(*b, 0x808080);
    b->SetCaption("17");
}

// A shown bump button and a bitmap of its size to paint into.
struct BumpCanvas {
    ToxButton button;
    QImage target;
    QPainter painter;
    BumpCanvas() {
        SetUpBump(&button);
        button.show();
        QApplication::processEvents();
        target = QImage(button.size(), QImage::Format_RGB32);
        painter.begin(&target);
    }
};

void BM_CachedRepaint(benchmark::State& state) {
    BumpCanvas canvas;
    ToxButton& button = canvas.button;
    QPainter& painter = canvas.painter;
    button.Face()->PaintTo(painter);
    for (auto _ : state) {
        button.Face()->PaintTo(painter);
        benchmark::ClobberMemory();
    }
    state.counters["draws"] = button.Face()->DrawCount();
}
BENCHMARK(BM_CachedRepaint);

void BM_DrawAppearance(benchmark::State& state) {
    BumpCanvas canvas;
    ToxButton& button = canvas.button;
    QPainter& painter = canvas.painter;
    for (auto _ : state) {
        button.Face()->DropCache();
        button.Face()->PaintTo(painter);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawAppearance);

// 32 visible bump buttons recoloured, as a page switch does, then
// repainted through the widget's own paint path.
void BM_Bump32AfterColourChange(benchmark::State& state) {
    QWidget panel;
    panel.resize(63 * 16, 2 * 40);
    std::vector<ToxButton*> bumps;
    for (int i = 0; i < 32; ++i) {
        auto* b = new ToxButton(&panel);
        SetUpBump(b);
        b->move(63 * (i % 16), 40 * (i / 16));
        b->SetCaption(QString::number(i + 1));
        bumps.push_back(b);
    }
    panel.show();
    QApplication::processEvents();
    bool on = false;
    for (auto _ : state) {
        on = !on;
        for (ToxButton* b : bumps)
            b->SetColor(on ? 0xC0C0C0 : 0x808080);
        for (ToxButton* b : bumps)
            b->Face()->repaint();
    }
}
BENCHMARK(BM_Bump32AfterColourChange)->Unit(benchmark::kMicrosecond);

} // namespace
