// The single-area dump.
#include "track/singledump.h"

namespace track {

namespace {

QString HexDigits(quint64 value, int width) {
  return QString::number(value, 16).toUpper().rightJustified(width, u'0').right(width);
}

}  // namespace

QString SingleAreaDump(QByteArrayView bytes) {
  QString text = QStringLiteral("000000:");
  QString group;
  quint64 count = 0;
  for (char c : bytes) {
    ++count;
    const auto b = static_cast<unsigned char>(c);
    group += b == 0 ? QChar(u'^') : QChar(static_cast<char16_t>(b));
    text += HexDigits(b, 2);
    if (count % 2 == 0) {
      group += u' ';
      text += u' ';
    }
    if (count % 8 == 0) {
      text += u' ' + group + u'\r' + u' ' + HexDigits(count, 6) + u':';
      group.clear();
    }
  }
  return text;
}

}  // namespace track
