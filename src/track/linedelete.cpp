// The "C" rule, reading back from the caret.
#include "track/linedelete.h"

#include <cstring>
#include <type_traits>

namespace track {

TextRange LineDeleteRange(qint64 length, const ReadBackward& readBack, qint64 caret) {
  const qint64 s = qBound<qint64>(0, caret, length);
  if (s < 2) return {};
  // The character right before the caret is never examined: the search starts at s - 2.
  qint64 cr = -1, end = s - 1;
  readBack(end, [&](QAnyStringView piece) {
    const qsizetype n = piece.size();
    piece.visit([&](auto v) {
      qsizetype found = -1;
      if constexpr (std::is_same_v<decltype(v), QStringView>) {
        found = v.lastIndexOf(u'\r');
      } else {
        const char* p = reinterpret_cast<const char*>(v.data());
        const void* hit = memrchr(p, '\r', static_cast<size_t>(n));
        found = hit ? static_cast<const char*>(hit) - p : -1;
      }
      if (found >= 0) cr = end - n + found;
    });
    end -= n;
    return cr < 0;
  });
  if (cr >= 0) return {cr + 1, s - 1 - cr};
  // No line end before it: only the part up to the caret goes, never the lines after.
  return {0, s};
}

TextRange LineDeleteRange(const QString& text, qint64 caret) {
  return LineDeleteRange(
      text.size(),
      [&text](qint64 end, const std::function<bool(QAnyStringView)>& read) { read(QStringView(text).first(end)); },
      caret);
}

}  // namespace track
