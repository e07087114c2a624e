// Cleaning a track text and reading it in pairs, as one table-driven pass.
#include "track/trackbytes.h"

#include <array>

namespace track {

namespace {

constexpr std::array<qint8, 256> MakeDigitTable() {
  std::array<qint8, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = -1;
  for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<qint8>(i);
  for (int i = 0; i < 6; ++i) {
    t['a' + i] = static_cast<qint8>(10 + i);
    t['A' + i] = static_cast<qint8>(10 + i);
  }
  return t;
}

constexpr std::array<qint8, 256> kDigit = MakeDigitTable();

inline bool Dropped(char c) { return c == '\r' || c == ' '; }

}  // namespace

QByteArray CleanTrackText(const QString& text) {
  QByteArray bytes = text.toUtf8();
  char* out = bytes.data();
  qsizetype kept = 0;
  for (char c : std::as_const(bytes))
    if (!Dropped(c)) out[kept++] = c;
  bytes.truncate(kept);
  return bytes;
}

quint8 PairByte(char high, char low) {
  const int a = kDigit[static_cast<unsigned char>(high)];
  if (a < 0) return 0;
  const int b = kDigit[static_cast<unsigned char>(low)];
  return static_cast<quint8>(b < 0 ? a : a * 16 + b);
}

QByteArray PairBytes(const QByteArray& digits) {
  const qsizetype n = digits.size() / 2;
  QByteArray out(n, Qt::Uninitialized);
  const char* in = digits.constData();
  char* o = out.data();
  for (qsizetype k = 0; k < n; ++k) o[k] = static_cast<char>(PairByte(in[2 * k], in[2 * k + 1]));
  return out;
}

QByteArray TrackBytes(const QString& text) {
  // CR and blank never occur inside a multi-byte UTF-8 sequence, so cleaning the
  // UTF-8 form equals cleaning the text and encoding it.
  const QByteArray utf8 = text.toUtf8();
  QByteArray out(utf8.size() / 2, Qt::Uninitialized);
  char* o = out.data();
  qsizetype written = 0;
  char high = 0;
  bool haveHigh = false;
  for (char c : utf8) {
    if (Dropped(c)) continue;
    if (!haveHigh) {
      high = c;
      haveHigh = true;
    } else {
      o[written++] = static_cast<char>(PairByte(high, c));
      haveHigh = false;
    }
  }
  out.truncate(written);
  return out;
}

}  // namespace track
