// A read-only Latin-1 text computed on demand instead of stored: `rows` lines of
// `lineLength` characters each, the last of which is a CR, then `tail` characters
// with no CR. Such a text costs what its source costs, whatever its length; where
// its lines start and which characters lie anywhere in it is arithmetic. The text
// engine holds one as it is; the hex dump is made of three.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace textfn {

class RowText {
 public:
  RowText(qsizetype lineLength, qsizetype rows, qsizetype tail)
      : lineLength_(qMax<qsizetype>(1, lineLength)), rows_(qMax<qsizetype>(0, rows)), tail_(qMax<qsizetype>(0, tail)) {}
  virtual ~RowText() = default;
  RowText(const RowText&) = delete;
  RowText& operator=(const RowText&) = delete;

  qsizetype lineLength() const { return lineLength_; }  // CR included
  qsizetype rows() const { return rows_; }
  qsizetype tail() const { return tail_; }
  qsizetype size() const { return rows_ * lineLength_ + tail_; }

  // CRs in [0, pos).
  qsizetype breaksBefore(qsizetype pos) const { return qMin(rows_, qMax<qsizetype>(0, pos) / lineLength_); }
  // Offset of CR number k, from 0 (k < rows()).
  qsizetype breakAt(qsizetype k) const { return k * lineLength_ + lineLength_ - 1; }

  // Writes the characters [pos, pos + n) to out; the span lies within the text.
  virtual void render(qsizetype pos, qsizetype n, char* out) const = 0;

  // The whole text, built: for tests and for small texts only.
  QByteArray toLatin1() const {
    QByteArray all(size(), Qt::Uninitialized);
    render(0, all.size(), all.data());
    return all;
  }

 private:
  qsizetype lineLength_, rows_, tail_;
};

}  // namespace textfn
