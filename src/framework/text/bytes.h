// Byte texts of the framework: lengths, slices and searches counted in bytes of the
// UTF-8 form, positions from 1.
#pragma once

#include <QByteArray>
#include <QString>

namespace textfn {

qint64 LenB(const QByteArray& bytes);
qint64 LenB(const QString& text);  // length of the UTF-8 form

// length bytes from position start (1-based); out-of-range parts are left out.
QByteArray MidB(const QByteArray& bytes, qint64 start, qint64 length);

// The last n bytes.
QByteArray RightB(const QByteArray& bytes, qint64 n);

// 1-based byte position of the first occurrence of find at or after start, 0 when
// there is none or find is empty. The comparison is byte-wise and case-sensitive.
qint64 InStrB(const QByteArray& source, const QByteArray& find);
qint64 InStrB(qint64 start, const QByteArray& source, const QByteArray& find);
qint64 InStrB(const QString& source, const QString& find);  // on the UTF-8 forms

// The one-byte text of the low 8 bits of code.
QByteArray ChrB(qint64 code);

}  // namespace textfn
