// Google Benchmark cases for the text engine on dump-sized texts: setting the
// three texts of a file's dump, built or computed, building their line index
// and painting the first screen; an inserted line near the top with its
// repaint; a jump to the end and back. Sizes are in MiB of the dumped file.
#include "framework/engine/textengineview.h"
#include "support/benchsupport.h"
#include "track/dumprows.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <map>
#include <random>

namespace {

struct Dump {
    QByteArray address, hex, chars;
};

// The three texts of a hex dump of `mib` MiB of random bytes, shaped as the
// program writes them: 16 bytes a row, CR line ends.
const Dump& dumpOf(int mib)
{
    static std::map<int, Dump> cache;
    auto it = cache.find(mib);
    if (it != cache.end())
        return it->second;
    const qsizetype n = qsizetype(mib) << 20;
    std::mt19937_64 rng(mib);
    Dump d;
    d.hex.reserve(n * 3 + n / 16);
    d.chars.reserve(n * 2 + n / 16);
    d.address.reserve(n / 16 * 10 + 10);
    d.address.append("00000000:\r");
    const char* digits = "0123456789ABCDEF";
    char addr[16];
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 b = quint8(rng());
        d.hex.append(digits[b >> 4]).append(digits[b & 15]).append(' ');
        d.chars.append(b > 31 && b < 127 ? char(b) : '-').append(' ');
        if ((i + 1) % 16 == 0) {
            d.hex.append('\r');
            d.chars.append('\r');
            std::snprintf(addr, sizeof addr, "%08llX:\r", static_cast<unsigned long long>((i + 1) & 0xFFFFFFFF));
            d.address.append(addr);
        }
    }
    return cache.emplace(mib, std::move(d)).first->second;
}

void paint(TextEngineView& view, QImage& image)
{
    QCoreApplication::processEvents();
    QPainter p(&image);
    view.viewport()->render(&p);
}

// A view of the hex view's size, shown, holding the dump's hex text.
void showHex(TextEngineView& view, int mib)
{
    view.resize(400, 380);
    view.show();
    view.setTextLatin1(dumpOf(mib).hex);
}

// The three views of the hex view, shown at its size; give sets their texts, then
// each paints once.
template <class Give>
void ShowThreeAndPaint(QImage& image, Give give)
{
    TextEngineView address, hex, chars;
    for (TextEngineView* v : {&address, &hex, &chars}) {
        v->resize(400, 380);
        v->show();
    }
    give(address, hex, chars);
    for (TextEngineView* v : {&address, &hex, &chars})
        paint(*v, image);
    benchmark::DoNotOptimize(image.bits());
}

// Three views as the hex view has them; each gets its text and paints once.
void BM_SetTextIndexAndFirstPaint(benchmark::State& state)
{
    const Dump& dump = dumpOf(int(state.range(0)));
    QImage image(400, 380, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ShowThreeAndPaint(image, [&](TextEngineView& address, TextEngineView& hex, TextEngineView& chars) {
            address.setTextLatin1(dump.address);
            hex.setTextLatin1(dump.hex);
            chars.setTextLatin1(dump.chars);
        });
    }
    state.counters["chars"] = double(dump.address.size() + dump.hex.size() + dump.chars.size());
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}
BENCHMARK(BM_SetTextIndexAndFirstPaint)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same three views given the computed texts of the dump, as the window does:
// nothing is built, the lines are arithmetic.
void BM_SetComputedTextsAndFirstPaint(benchmark::State& state)
{
    const qsizetype n = qsizetype(state.range(0)) << 20;
    std::mt19937_64 rng(n);
    QByteArray bytes(n, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(rng());
    QImage image(400, 380, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const track::DumpTexts dump = track::DumpRows(bytes);
        ShowThreeAndPaint(image, [&](TextEngineView& address, TextEngineView& hex, TextEngineView& chars) {
            address.setTextRows(dump.address);
            hex.setTextRows(dump.hex);
            chars.setTextRows(dump.characters);
        });
    }
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}
BENCHMARK(BM_SetComputedTextsAndFirstPaint)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);

// A note line typed in near the top of the hex text, then the repaint.
void BM_InsertNearTopAndRepaint(benchmark::State& state)
{
    TextEngineView view;
    showHex(view, int(state.range(0)));
    QImage image(400, 380, QImage::Format_ARGB32_Premultiplied);
    paint(view, image);
    qsizetype at = 49 * 3;
    for (auto _ : state) {
        view.setSelection(at, 0);
        view.replaceSelection(QStringLiteral("90 3C 55 83 18 90 3C 00 48 \r"));
        paint(view, image);
        at += 49;
    }
}
BENCHMARK(BM_InsertNearTopAndRepaint)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// One key typed into the hex text near the top, then the repaint.
void BM_TypeKeyNearTopAndRepaint(benchmark::State& state)
{
    TextEngineView view;
    showHex(view, int(state.range(0)));
    view.setSelection(49 * 2 + 3, 0);
    QImage image(400, 380, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.replaceSelection(QStringLiteral("A"));
        paint(view, image);
    }
}
BENCHMARK(BM_TypeKeyNearTopAndRepaint)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// Scroll bar to the end, paint, back to the start, paint.
void BM_ScrollToEndAndBack(benchmark::State& state)
{
    TextEngineView view;
    showHex(view, int(state.range(0)));
    QImage image(400, 380, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        paint(view, image);
        view.verticalScrollBar()->setValue(0);
        paint(view, image);
    }
}
BENCHMARK(BM_ScrollToEndAndBack)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
