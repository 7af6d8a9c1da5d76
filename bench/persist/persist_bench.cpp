// Load and Save of the main window's eleven preference items, against the
// bare container round trip of the same entries as the baseline.

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "base/CommonDialogs.h"
#include "persist/Persist.h"
#include "storage/ContainerFile.h"

namespace {

struct Desk {
    QTemporaryDir dir;
    TMainWindow form{RecordingEndpoint::NoHost()};
    Desk() {
        form.PreferenceStore->SetProgramDirectory(dir.path());
        QStringList colors;
        for (int i = 0; i < 16; ++i)
            colors << QStringLiteral("Color%1=FFFFFF").arg(QChar('A' + i));
        form.ColorDialog->SetCustomColors(colors);
        form.OpenDialog->SetFileName(QStringLiteral("/home/user/shows/friday night.HXI"));
        form.SaveDialog->SetFileName(QStringLiteral("/home/user/shows/friday night.HXI"));
        form.PreferenceStore->Save();
    }
};

void BM_SaveElevenItems(benchmark::State& state) {
    Desk desk;
    for (auto _ : state)
        benchmark::DoNotOptimize(desk.form.PreferenceStore->Save());
}
BENCHMARK(BM_SaveElevenItems)->Unit(benchmark::kMicrosecond);

void BM_LoadElevenItems(benchmark::State& state) {
    Desk desk;
    for (auto _ : state)
        benchmark::DoNotOptimize(desk.form.PreferenceStore->Load());
}
BENCHMARK(BM_LoadElevenItems)->Unit(benchmark::kMicrosecond);

// Baseline: the same file read and written without touching any property.
void BM_ContainerFileRoundTrip(benchmark::State& state) {
    Desk desk;
    const QString path = desk.form.PreferenceStore->StoreFilePath();
    for (auto _ : state) {
        ToxRegFile table;
        table.LoadFromFile(path);
        benchmark::DoNotOptimize(table.SaveToFile(path));
    }
}
BENCHMARK(BM_ContainerFileRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace
