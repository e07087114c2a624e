// The "C" rule.
#include "track/linedelete.h"

namespace track {

TextRange LineDeleteRange(const QString& text, qint64 caret) {
  const qint64 s = qBound<qint64>(0, caret, text.size());
  if (s < 2) return {};
  // The character right before the caret is never examined.
  const qsizetype cr = text.lastIndexOf(u'\r', s - 2);
  if (cr >= 0) return {cr + 1, s - 1 - cr};
  // No line end before it: only the part up to the caret goes, never the lines after.
  return {0, s};
}

}  // namespace track
