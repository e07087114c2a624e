// Character texts of the framework: fields, slices, replacing and character codes.
#pragma once

#include <QString>

namespace textfn {

// Field n (counted from 1) of text cut at each occurrence of separator; the empty
// text for n < 1 or beyond the last field. An empty separator leaves one field.
QString NthField(const QString& text, const QString& separator, qint64 n);

// A text holding k separators, found from the left without overlap as NthField cuts
// it, has k + 1 fields (the empty text has one, and so has an empty separator).
qint64 CountFields(const QString& text, const QString& separator);

// The last n characters (all of them when the text is shorter, none for n <= 0).
QString Right(const QString& text, qint64 n);

// Every occurrence of find replaced; an empty find changes nothing.
QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);

// The code of the first character (a whole code point); 0 for the empty text.
qint64 Asc(const QString& text);

// The one-character text of a code point; the empty text for an invalid code.
QString Chr(qint64 code);

}  // namespace textfn
