// Reading a track text as bytes: the pass shared by the MIDI and raw writers.
#pragma once

#include "track/tracktext.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace track {

// Bytes kept as parts that are built only as they are written: bytes of their own,
// and ranges of a file's bytes, shared and not copied. A range is taken as it is or
// a half byte on (each byte then the low half of one of the file's bytes and the
// high half of the next), as a text that spells the file after an odd digit reads it.
class ByteParts {
 public:
  static constexpr qsizetype kBlock = qsizetype(1) << 20;

  qsizetype size() const { return size_; }
  // The bytes the parts hold of their own; the files' bytes they refer to are not counted.
  qsizetype ownBytes() const;

  void append(QByteArray bytes);
  // n bytes from source's byte from on; shifted, bytes [from, from + n] are read.
  void appendRange(const QByteArray& source, qsizetype from, qsizetype n, bool shifted);
  void append(const ByteParts& more);

  // Hands every byte to sink in order, in blocks of at most kBlock bytes.
  void write(const std::function<void(const char* data, qsizetype n)>& sink) const;
  QByteArray toByteArray() const;

 private:
  struct Part {
    QByteArray bytes;
    qsizetype from = 0, n = 0;
    bool shifted = false;
    bool own = true;
  };
  std::vector<Part> parts_;
  qsizetype size_ = 0;
};

// The bytes a track text spells, in one pass: the UTF-8 form without its carriage
// returns and blanks, read in consecutive pairs as the framework's Val reads "&h" and
// the pair (textfn::HexPairValue); a lone last byte is left out. The text is read
// piece by piece, at once. A stretch of a dump's hex text that the text hands over
// unbuilt (TrackText::readSpans) is kept as the range of the file's bytes it spells,
// so reading a large dump costs what was edited in it.
ByteParts TrackByteParts(const TrackText& text);
QByteArray TrackBytes(const TrackText& text);
QByteArray TrackBytes(const QString& text);

}  // namespace track
