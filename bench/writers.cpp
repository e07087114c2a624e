// Benchmarks of the logic layer: MIDI and raw bytes from a 1 MiB track text, the
// dump of 10 MiB, and parsing a track text for playback; then the same on the hex
// text of a dumped file as the text engine holds it (computed, read in pieces):
// raw and MIDI bytes of 100 MiB, the lines a playback start stores for 10 MiB.
#include "framework/engine/textbuffer.h"
#include "playback/lines.h"
#include "track/dumprows.h"
#include "track/hexdump.h"
#include "track/midifile.h"
#include "track/noteline.h"
#include "track/rawfile.h"

#include <benchmark/benchmark.h>

#include <random>
#include <type_traits>

namespace {

// Note lines over the keyboard's range until the text reaches the size.
QString TrackText(qsizetype size) {
  QString text;
  text.reserve(size + 64);
  for (int key = 41; text.size() < size; key = key == 88 ? 41 : key + 1)
    text += track::NoteLine(QString::number(key, 16).toUpper(), QStringLiteral("55"),
                            QStringLiteral("83 18"), QStringLiteral("48"));
  return text;
}

QByteArray RandomBytes(qsizetype size) {
  std::mt19937_64 random(1);
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

void BM_MidiFileBytes1MiB(benchmark::State& state) {
  const QString text = TrackText(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::MidiFileBytes(text));
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_MidiFileBytes1MiB)->Unit(benchmark::kMillisecond);

void BM_RawFileBytes1MiB(benchmark::State& state) {
  const QString text = TrackText(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::RawFileBytes(text));
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_RawFileBytes1MiB)->Unit(benchmark::kMillisecond);

void BM_DumpBytes10MiB(benchmark::State& state) {
  const QByteArray bytes = RandomBytes(10 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::DumpBytes(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DumpBytes10MiB)->Unit(benchmark::kMillisecond);

void BM_DumpStrings10MiB(benchmark::State& state) {
  const QByteArray bytes = RandomBytes(10 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::ToStrings(track::DumpBytes(bytes)));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DumpStrings10MiB)->Unit(benchmark::kMillisecond);

void BM_ParseLines1MiB(benchmark::State& state) {
  const QString text = TrackText(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(playback::ParseLines(text, 7));
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParseLines1MiB)->Unit(benchmark::kMillisecond);

// The hex text of a dump of size random bytes, held as the hex column holds it and
// read as the window reads it.
struct HeldDump {
  explicit HeldDump(qsizetype size) { buffer.setRows(track::DumpRows(RandomBytes(size)).hex); }
  track::TrackText Pieces() const {
    return {buffer.length(), [this](const track::TrackText::Reader& read) {
              buffer.forEachPiece(0, buffer.length(), [&](auto* p, qsizetype n) {
                if constexpr (std::is_same_v<decltype(p), const char*>) read(QLatin1StringView(p, n));
                else read(QStringView(p, n));
              });
            },
            [this](const track::TrackText::Reader& read, const track::TrackText::RowsReader& rows) {
              buffer.forEachSpan(
                  0, buffer.length(),
                  [&](auto* p, qsizetype n) {
                    if constexpr (std::is_same_v<decltype(p), const char*>) read(QLatin1StringView(p, n));
                    else read(QStringView(p, n));
                  },
                  rows);
            }};
  }
  TextBuffer buffer;
};

void BM_RawFileBytesOfDump100MiB(benchmark::State& state) {
  const HeldDump dump(100 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::RawFileBytes(dump.Pieces()));
  state.SetBytesProcessed(state.iterations() * dump.buffer.length());
}
BENCHMARK(BM_RawFileBytesOfDump100MiB)->Unit(benchmark::kMillisecond);

void BM_MidiFileBytesOfDump100MiB(benchmark::State& state) {
  const HeldDump dump(100 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(track::MidiFileBytes(dump.Pieces()));
  state.SetBytesProcessed(state.iterations() * dump.buffer.length());
}
BENCHMARK(BM_MidiFileBytesOfDump100MiB)->Unit(benchmark::kMillisecond);

void BM_StoreLinesOfDump10MiB(benchmark::State& state) {
  const HeldDump dump(10 << 20);
  for (auto _ : state) {
    track::EditorState editor;
    playback::StoreLines(dump.Pieces(), editor);
    benchmark::DoNotOptimize(editor.noteCount);
  }
  state.SetBytesProcessed(state.iterations() * dump.buffer.length());
}
BENCHMARK(BM_StoreLinesOfDump10MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
