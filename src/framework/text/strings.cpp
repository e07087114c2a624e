// Character texts of the framework: fields, slices, replacing and character codes.
#include "framework/text/strings.h"

namespace textfn {

QString NthField(const QString& text, const QString& separator, qint64 n) {
  if (n < 1) return {};
  if (separator.isEmpty()) return n == 1 ? text : QString();
  qsizetype from = 0;
  for (qint64 field = 1; field < n; ++field) {
    const qsizetype at = text.indexOf(separator, from);
    if (at < 0) return {};
    from = at + separator.size();
  }
  const qsizetype end = text.indexOf(separator, from);
  return text.mid(from, end < 0 ? -1 : end - from);
}

qint64 CountFields(const QString& text, const QString& separator) {
  if (separator.isEmpty()) return 1;
  // Matches that do not overlap, as NthField splits: "aaaa" by "aa" is three fields.
  qint64 fields = 1;
  for (qsizetype at = text.indexOf(separator); at >= 0; at = text.indexOf(separator, at + separator.size()))
    ++fields;
  return fields;
}

QString Right(const QString& text, qint64 n) {
  if (n <= 0) return {};
  if (n >= text.size()) return text;
  return text.right(n);
}

QString ReplaceAll(const QString& text, const QString& find, const QString& replacement) {
  if (find.isEmpty()) return text;
  QString result = text;
  return result.replace(find, replacement);
}

qint64 Asc(const QString& text) {
  if (text.isEmpty()) return 0;
  if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
    return QChar::surrogateToUcs4(text[0], text[1]);
  return text[0].unicode();
}

QString Chr(qint64 code) {
  if (code < 0 || code > 0x10FFFF) return {};
  const char32_t c = static_cast<char32_t>(code);
  return QString::fromUcs4(&c, 1);
}

}  // namespace textfn
