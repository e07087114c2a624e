// The "C" rule, over the pieces of the text.
#include "track/linedelete.h"

#include <cstring>
#include <type_traits>

namespace track {

TextRange LineDeleteRange(const TrackText& text, qint64 caret) {
  const qint64 s = qBound<qint64>(0, caret, text.length);
  if (s < 2) return {};
  // The character right before the caret is never examined: the search ends at s - 2.
  qint64 cr = -1, base = 0;
  text.readPieces([&](QAnyStringView piece) {
    const qint64 n = qMin<qint64>(piece.size(), s - 1 - base);
    if (n > 0) {
      piece.visit([&](auto v) {
        qsizetype found = -1;
        if constexpr (std::is_same_v<decltype(v), QStringView>) {
          found = v.first(n).lastIndexOf(u'\r');
        } else {
          const char* p = reinterpret_cast<const char*>(v.data());
          const void* hit = memrchr(p, '\r', static_cast<size_t>(n));
          found = hit ? static_cast<const char*>(hit) - p : -1;
        }
        if (found >= 0) cr = base + found;
      });
    }
    base += piece.size();
  });
  if (cr >= 0) return {cr + 1, s - 1 - cr};
  // No line end before it: only the part up to the caret goes, never the lines after.
  return {0, s};
}

TextRange LineDeleteRange(const QString& text, qint64 caret) { return LineDeleteRange(TrackText::Of(text), caret); }

}  // namespace track
