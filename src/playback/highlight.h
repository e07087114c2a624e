// The highlight scan: the line that sounds, found again in the current text.
#pragma once

#include <QString>

namespace playback {

inline constexpr qint64 kHighlightProbes = 1001;

struct Highlight {
  bool found = false;   // a CR lay within the probes
  qint64 selStart = 0;  // the selection to show (already clamped to the text)
  qint64 selLength = 0;
  qint64 selL = 0;      // offset where the next scan starts
};

// From offset s, the first CR at s + 0 to s + 1000: select s up to and including it,
// and the next scan starts just past it. With none, the one-character probe at
// s + 1000 stays selected and selL keeps its value.
Highlight HighlightScan(const QString& text, qint64 s, qint64 selL);

// The same scan given only the reach of the probes: the kHighlightProbes characters
// of the text from offset s (fewer where the text ends). Playback reads that much at
// each tick instead of the whole text; offsets in the result are the whole text's,
// not clamped to its end, which the text area does.
Highlight HighlightInReach(const QString& reach, qint64 s, qint64 selL);

}  // namespace playback
