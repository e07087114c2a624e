// Byte texts of the framework: lengths, slices and searches in bytes, positions from 1.
#include "framework/text/bytes.h"

namespace textfn {

qint64 LenB(const QByteArray& bytes) { return bytes.size(); }

qint64 LenB(const QString& text) { return text.toUtf8().size(); }

QByteArray MidB(const QByteArray& bytes, qint64 start, qint64 length) {
  if (length <= 0) return {};
  qint64 from = start - 1;
  if (from < 0) {
    length += from;
    from = 0;
  }
  if (length <= 0 || from >= bytes.size()) return {};
  return bytes.mid(from, qMin<qint64>(length, bytes.size() - from));
}

QByteArray RightB(const QByteArray& bytes, qint64 n) {
  if (n <= 0) return {};
  if (n >= bytes.size()) return bytes;
  return bytes.right(n);
}

qint64 InStrB(qint64 start, const QByteArray& source, const QByteArray& find) {
  if (find.isEmpty()) return 0;
  const qint64 from = start < 1 ? 0 : start - 1;
  if (from >= source.size()) return 0;
  return source.indexOf(find, from) + 1;
}

qint64 InStrB(const QByteArray& source, const QByteArray& find) { return InStrB(1, source, find); }

qint64 InStrB(const QString& source, const QString& find) {
  return InStrB(1, source.toUtf8(), find.toUtf8());
}

QByteArray ChrB(qint64 code) { return QByteArray(1, static_cast<char>(code & 0xFF)); }

}  // namespace textfn
