// Cleaning a track text and reading it in pairs, as one table-driven pass.
#include "track/trackbytes.h"

#include "framework/text/hexdigits.h"

namespace track {

QByteArray TrackBytes(const QString& text) {
  // CR and blank never occur inside a multi-byte UTF-8 sequence, so cleaning the
  // UTF-8 form equals cleaning the text and encoding it.
  const QByteArray utf8 = text.toUtf8();
  QByteArray out(utf8.size() / 2, Qt::Uninitialized);
  char* o = out.data();
  qsizetype written = 0;
  unsigned char high = 0;
  bool haveHigh = false;
  for (char c : utf8) {
    if (c == '\r' || c == ' ') continue;
    if (!haveHigh) {
      high = static_cast<unsigned char>(c);
      haveHigh = true;
    } else {
      o[written++] = static_cast<char>(textfn::HexPairValue(high, static_cast<unsigned char>(c)));
      haveHigh = false;
    }
  }
  out.truncate(written);
  return out;
}

}  // namespace track
