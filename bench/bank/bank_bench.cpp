// A page switch (32 faders and bumps refreshed, frames to an endpoint with no
// host behind it) against 32 fader paints drawn afresh, and a fader dragged
// through its levels by the mouse and by code. page_switch_ratio.py prints
// the switch as a share of the 32 paints. Run under QT_QPA_PLATFORM=offscreen or a display.

#include <memory>
#include <string>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include "app/MainWindow.h"
#include "bank/BankView.h"
#include "bank/BumpButton.h"
#include "bank/Fader.h"
#include "bank/PageButton.h"
#include "persist/Persist.h"

namespace {

// The platform endpoint, looking for a host in an empty runtime folder.
struct Desk {
    QTemporaryDir runtime;
    QTemporaryDir preferences;
    std::unique_ptr<TMainWindow> form;

    Desk() {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        form = std::make_unique<TMainWindow>();
        form->PreferenceStore->SetProgramDirectory(preferences.path());
        form->show();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get());
        (void)QTest::qWaitFor([&] { return form->Model().Ready(); });
        QApplication::processEvents();
    }
    TDeskModel& Model() { return form->Model(); }
    TBankView& Bank() { return form->Bank(); }
};

// Switches between pages 1 and 2; with names, every channel has two of its own.
void PageSwitch(benchmark::State& bench, bool named) {
    Desk desk;
    // Every level differs between pages 1 and 2, so each fader changes.
    auto table = std::make_unique<TChannelTable>(desk.Model().Table());
    for (int c = 1; c <= 64; ++c) {
        table->LevelOf(c) = static_cast<std::uint8_t>(c <= 32 ? c : 255 - c);
        if (!named) continue;
        table->Name1Of(c).Assign("Spot " + std::to_string(c));
        table->Name2Of(c).Assign(c % 2 ? "Stage L" : "Wash");
    }
    desk.Model().LoadLayout(*table, {});
    QApplication::processEvents();
    const auto total = [&](int (TFader::*count)() const) {
        int n = 0;
        for (int slot = 1; slot <= 32; ++slot)
            n += (desk.Bank().FaderAt(slot)->*count)();
        return n;
    };
    const int paintsBefore = total(&TFader::FullPaintCount);
    const int overKeptBefore = total(&TFader::RedrawsOverKept);
    int page = 1;
    for (auto _ : bench) {
        page = page == 1 ? 2 : 1;
        QTest::mouseClick(desk.Bank().PageButtonAt(page), Qt::LeftButton, {}, QPoint(10, 10));
    }
    const auto switches = static_cast<double>(bench.iterations());
    bench.counters["pages"] = benchmark::Counter(switches, benchmark::Counter::kIsRate);
    bench.counters["full_paints_per_switch"] =
        (total(&TFader::FullPaintCount) - paintsBefore) / switches;
    bench.counters["over_kept_per_switch"] =
        (total(&TFader::RedrawsOverKept) - overKeptBefore) / switches;
}
void BM_PageSwitch(benchmark::State& bench) {
    PageSwitch(bench, false);
}
BENCHMARK(BM_PageSwitch)->Unit(benchmark::kMicrosecond);
void BM_PageSwitchNamed(benchmark::State& bench) {
    PageSwitch(bench, true);
}
BENCHMARK(BM_PageSwitchNamed)->Unit(benchmark::kMicrosecond);

// What a page switch is measured against: the 32 faders each painted in full
// with everything drawn afresh, one after the other.
void BM_32FaderPaintsAfresh(benchmark::State& bench) {
    Desk desk;
    for (int slot = 1; slot <= 32; ++slot)
        desk.Bank().FaderAt(slot)->SetKeepPicture(false);
    for (auto _ : bench)
        for (int slot = 1; slot <= 32; ++slot)
            desk.Bank().FaderAt(slot)->Refresh();
}
BENCHMARK(BM_32FaderPaintsAfresh)->Unit(benchmark::kMicrosecond);

// The mouse pressed at the bottom of the trench and moved pixel by pixel
// to the top: every pixel a new level, each one sent.
void BM_FaderMouseDrag(benchmark::State& bench) {
    Desk desk;
    TFader* fader = desk.Bank().FaderAt(1);
    const TSkRect trench = fader->TrenchRect();
    const int x = (fader->TrackRect().Left + fader->TrackRect().Right) / 2;
    for (auto _ : bench) {
        QTest::mousePress(fader, Qt::LeftButton, {}, QPoint(x, trench.Bottom));
        for (int y = trench.Bottom; y >= trench.Top; --y)
            QTest::mouseMove(fader, QPoint(x, y));
        QTest::mouseRelease(fader, Qt::LeftButton, {}, QPoint(x, trench.Top));
    }
    bench.counters["pixels"] = trench.Bottom - trench.Top + 1;
}
BENCHMARK(BM_FaderMouseDrag)->Unit(benchmark::kMicrosecond);

// The same fader stepped through all 256 digits by code, with the focus on
// it as in a drag: the level written, a frame sent and the page recoloured.
void BM_FaderThrough256Digits(benchmark::State& bench) {
    Desk desk;
    TFader* fader = desk.Bank().FaderAt(1);
    fader->setFocus();
    for (auto _ : bench) {
        for (int d = 0; d <= 255; ++d)
            fader->SetDigit(d);
        fader->SetDigit(0);
    }
}
BENCHMARK(BM_FaderThrough256Digits)->Unit(benchmark::kMicrosecond);

} // namespace
