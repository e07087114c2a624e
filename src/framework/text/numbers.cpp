// Number texts of the framework: Hex, Val and Integer.FromBinary.
#include "framework/text/numbers.h"

#include "framework/text/hexdigits.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace textfn {

QString Hex(qint64 value) {
  static const char digits[] = "0123456789ABCDEF";
  quint64 u = static_cast<quint64>(value);
  char buf[16];
  int pos = 16;
  do {
    buf[--pos] = digits[u & 0xF];
    u >>= 4;
  } while (u != 0);
  return QString::fromLatin1(buf + pos, 16 - pos);
}

namespace {

int DigitValue(QChar c, int radix) {
  const int v = HexDigitValue(c.unicode());
  return v < radix ? v : -1;
}

double ReadRadix(QStringView digits, int radix) {
  quint64 value = 0;
  for (QChar c : digits) {
    const int d = DigitValue(c, radix);
    if (d < 0) break;
    value = value * static_cast<quint64>(radix) + static_cast<quint64>(d);
  }
  return static_cast<double>(value);
}

bool IsAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace

double Val(QStringView text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i + 1 < text.size() && text[i] == u'&') {
    const char16_t p = text[i + 1].toLower().unicode();
    if (p == 'h') return ReadRadix(text.mid(i + 2), 16);
    if (p == 'o') return ReadRadix(text.mid(i + 2), 8);
    if (p == 'b') return ReadRadix(text.mid(i + 2), 2);
  }
  // The longest leading decimal number: sign, digits, fraction, exponent.
  const qsizetype start = i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  qsizetype mantissaDigits = 0;
  while (i < text.size() && IsAsciiDigit(text[i])) ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0.0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    qsizetype j = i + 1;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
    if (j < text.size() && IsAsciiDigit(text[j])) {
      while (j < text.size() && IsAsciiDigit(text[j])) ++j;
      i = j;
    }
  }
  bool ok = false;
  const double v = QLocale::c().toDouble(text.mid(start, i - start), &ok);
  if (ok) return v;
  // Out of range: the sign tells which infinity the number runs to.
  return text[start] == u'-' ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
}

double ValHex(QStringView digits) { return ReadRadix(digits, 16); }

qint64 ToInteger(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exact as a double; everything at or beyond it clamps.
  constexpr double limit = 9223372036854775808.0;
  if (value >= limit) return std::numeric_limits<qint64>::max();
  if (value < -limit) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(value);
}

std::optional<qint64> IntegerFromBinary(QStringView text) {
  quint64 value = 0;
  for (QChar c : text) {
    if (c != u'0' && c != u'1') return std::nullopt;
    value = (value << 1) | (c == u'1' ? 1u : 0u);
  }
  return static_cast<qint64>(value);
}

}  // namespace textfn
