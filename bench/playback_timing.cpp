// Playback timing: 100 lines of mixed lengths played by the real window on its timer,
// each note-on timestamped by the note output, against the ideal schedule (each line
// starting when the ones before it have sounded ticks x d ms). Reported: the median
// and worst absolute onset error and the drift at the last line. For comparison, the
// bare timer with its period set at each tick, as the steps would set it without
// correcting for lateness.
#include "framework/controls/timer.h"
#include "framework/sound/noteoutput.h"
#include "support/benchsupport.h"
#include "window/mw.h"

#include <QApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

qint64 NowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Keeps the moment of every note-on.
class StampingOutput : public NoteOutput {
public:
    void ProgramChange(int, int) override {}
    void NoteOn(int, int, int) override { onsets.push_back(NowNs()); }
    void NoteOff(int, int) override {}
    std::vector<qint64> onsets;
};

// Gates of 12 to 240 ticks (ms at d = 1.0), in an order that mixes them.
std::vector<qint64> Lengths()
{
    const qint64 cycle[] = {96, 24, 240, 48, 12, 120, 72, 192, 36, 60, 144, 18};
    std::vector<qint64> out;
    for (int i = 0; i < 100; ++i)
        out.push_back(cycle[(i * 7) % 12]);
    return out;
}

QString DeltaText(qint64 ticks)
{
    auto byte = [](qint64 b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); };
    if (ticks < 128)
        return byte(ticks);
    return byte(0x80 | (ticks >> 7)) + ' ' + byte(ticks & 0x7F);
}

struct Errors {
    double medianMs, worstMs, driftMs;
};

// Onset errors against the schedule that starts at the first onset.
Errors Measure(const std::vector<qint64>& onsets, const std::vector<qint64>& lengthsMs)
{
    std::vector<double> absolute;
    double drift = 0;
    qint64 ideal = onsets.front();
    for (size_t i = 0; i < onsets.size(); ++i) {
        const double e = double(onsets[i] - ideal) / 1e6;
        absolute.push_back(std::abs(e));
        drift = e;
        if (i < lengthsMs.size())
            ideal += lengthsMs[i] * 1'000'000;
    }
    std::vector<double> sorted = absolute;
    std::sort(sorted.begin(), sorted.end());
    return {sorted[sorted.size() / 2], sorted.back(), drift};
}

void Report(benchmark::State& state, const Errors& e)
{
    state.counters["median_ms"] = e.medianMs;
    state.counters["worst_ms"] = e.worstMs;
    state.counters["drift_ms"] = e.driftMs;
}

void WindowPlaysOnItsTimeline(benchmark::State& state)
{
    MW& w = MW::Instance();
    const std::vector<qint64> lengths = Lengths();
    QString text;
    for (qint64 ms : lengths)
        text += "90 3C 55 " + DeltaText(ms) + " 90 3C 00 48 " + QChar(13);
    w.BinaryTa().SetText(text);
    Errors errors{};
    for (auto _ : state) {
        auto out = std::make_shared<StampingOutput>();
        SetNoteOutput(out);
        w.NotesPlay();
        while (w.TM0().Mode() != Timer::ModeOff)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (out->onsets.size() != lengths.size()) {
            state.SkipWithError("not every line sounded");
            return;
        }
        errors = Measure(out->onsets, lengths);
    }
    Report(state, errors);
}

void BareTimerWithPeriodSetAtEachTick(benchmark::State& state)
{
    const std::vector<qint64> lengths = Lengths();
    Errors errors{};
    for (auto _ : state) {
        Timer t;
        std::vector<qint64> onsets{NowNs()};
        t.Action = [&](Timer& timer) {
            onsets.push_back(NowNs());
            if (onsets.size() == lengths.size())
                timer.SetMode(Timer::ModeOff);
            else
                timer.SetPeriod(lengths[onsets.size() - 1]);
        };
        t.SetMode(Timer::ModeMultiple);
        t.SetPeriod(lengths[0]);
        while (t.Mode() != Timer::ModeOff)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        errors = Measure(onsets, lengths);
    }
    Report(state, errors);
}

BENCHMARK(WindowPlaysOnItsTimeline)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareTimerWithPeriodSetAtEachTick)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, {}, [] { MW::DestroyInstance(); });
}
