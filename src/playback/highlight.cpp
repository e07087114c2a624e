// The highlight scan.
#include "playback/highlight.h"

#include <QStringView>

namespace playback {

Highlight HighlightScan(const QString& text, qint64 s, qint64 selL) {
  const qint64 size = text.size();
  s = qMax<qint64>(0, s);
  const qint64 last = s + kHighlightProbes - 1;
  if (s < size) {
    const qsizetype cr = QStringView(text).first(qMin(size, last + 1)).indexOf(u'\r', s);
    if (cr >= 0) return {true, s, cr - s + 1, cr + 1};
  }
  // The last probe stays selected; past the end the text area clamps it to nothing.
  Highlight h;
  h.selStart = qMin(last, size);
  h.selLength = qMin<qint64>(1, size - h.selStart);
  h.selL = selL;
  return h;
}

Highlight HighlightInReach(const QString& reach, qint64 s, qint64 selL) {
  s = qMax<qint64>(0, s);
  Highlight h = HighlightScan(reach, 0, 0);
  h.selStart += s;
  h.selL = h.found ? s + h.selL : selL;
  return h;
}

}  // namespace playback
