// Fuzz target: playback line parsing and the highlight scan over any track text.
#include "playback/highlight.h"
#include "playback/lines.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QVector<playback::Line> lines = playback::ParseLines(text, 7);
  if (lines.size() != text.count(u'\r')) abort();
  qint64 selL = 0;
  for (const playback::Line& line : lines) {
    if (line.end <= selL || text[line.end - 1] != u'\r') abort();
    const playback::Sound& s = line.sound;
    if (s.sounds && (s.key < 0 || s.key > 127 || s.velocity < 1 || s.velocity > 127)) abort();
    if (line.ticks < 0 || playback::PeriodMs(line.ticks, 1.0) != line.ticks) abort();
    const playback::Highlight h = playback::HighlightScan(text, selL, selL);
    if (h.selStart < 0 || h.selLength < 0 || h.selStart + h.selLength > text.size()) abort();
    if (h.found != (line.end - selL <= playback::kHighlightProbes)) abort();
    if (h.found && (h.selL != line.end || h.selStart != selL)) abort();
    selL = line.end;
  }
  return 0;
}
