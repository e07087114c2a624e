// The main window's costs: building and showing it, and a dropped 1 MiB or 10 MiB
// file shown in the three columns up to their first paint; each reports the
// process's peak resident memory so far.
#include "framework/files/folderitem.h"
#include "framework/sound/noteoutput.h"
#include "framework/sound/recordingnoteoutput.h"
#include "support/benchsupport.h"
#include "window/mw.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

// Paints the window and every control in it now, as its first showing does.
void PaintNow(MW& w)
{
    w.QtWindow()->repaint();
    QApplication::processEvents();
}

void BM_BuildAndShowWindow(benchmark::State& state)
{
    for (auto _ : state) {
        MW& w = MW::Instance();
        PaintNow(w);
        state.PauseTiming();
        MW::DestroyInstance();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}
BENCHMARK(BM_BuildAndShowWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_DropOpenToFirstPaint(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dropped.bin");
    {
        std::mt19937_64 random(7);
        QByteArray bytes(state.range(0), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    MW& w = MW::Instance();
    PaintNow(w);
    auto item = std::make_shared<FolderItem>(path);
    for (auto _ : state) {
        w.DropOpen(item);
        PaintNow(w);
        state.PauseTiming();
        w.BinaryTa().SetText(QString());
        w.HedderTa().SetText(QString());
        w.FutterTa().SetText(QString());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
    MW::DestroyInstance();
}
BENCHMARK(BM_DropOpenToFirstPaint)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    // No sound device is opened; a display that is there is measured on.
    return bench::RunBenchmarks(
        argc, argv, [] { SetNoteOutput(std::make_shared<RecordingNoteOutput>()); }, {}, true);
}
