// Cleaning a track text and reading it in pairs, as one table-driven pass over its
// pieces; of a dump held unbuilt, only the edited parts are read that way.
#include "track/trackbytes.h"

#include "framework/text/hexdigits.h"
#include "track/dumprows.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

namespace track {

namespace {

constexpr qsizetype kRowLength = 49;  // a row of the hex view's dump

// Takes the UTF-8 form of the text piece by piece. Only the count of bytes of a
// character outside ASCII matters (none of them is a digit, a CR or a blank), but
// a surrogate pair split between two pieces is joined before it is encoded, so
// that the bytes are those of the whole text's UTF-8 form.
class PairReader {
 public:
  explicit PairReader(qsizetype expectedBytes) : out_(expectedBytes, Qt::Uninitialized) {}

  void Add(QAnyStringView piece) {
    piece.visit([this](auto s) {
      using View = decltype(s);
      if constexpr (std::is_same_v<View, QStringView>) {
        AddUtf16(s);
      } else {
        FlushSurrogate();
        const auto* p = reinterpret_cast<const unsigned char*>(s.data());
        if constexpr (std::is_same_v<View, QLatin1StringView>)
          AddLatin1(p, s.size());
        else
          AddUtf8(p, s.size());
      }
    });
  }

  // A high surrogate that ended the last piece is no pair: it counts as it is.
  void FlushSurrogate() {
    if (!pending_) return;
    const char16_t lone = pending_;
    pending_ = 0;
    const QByteArray utf8 = QStringView(&lone, 1).toUtf8();
    AddUtf8(reinterpret_cast<const unsigned char*>(utf8.constData()), utf8.size());
  }

  // Whether a first character waits for its pair; what comes next then pairs with it.
  bool HalfPending() const { return haveHigh_; }
  void SetHalfPending(unsigned char first) {
    high_ = first;
    haveHigh_ = true;
  }

  // The bytes read so far that were not taken yet.
  QByteArray Take() {
    out_.truncate(written_);
    written_ = 0;
    return std::exchange(out_, QByteArray());
  }

 private:
  void Room(qsizetype more) {
    if (written_ + more > out_.size()) out_.resize(qMax(written_ + more, out_.size() * 2));
  }

  void Put(unsigned char c, char*& o) {
    if (c == '\r' || c == ' ') return;
    if (!haveHigh_) {
      high_ = c;
      haveHigh_ = true;
    } else {
      *o++ = static_cast<char>(textfn::HexPairValue(high_, c));
      haveHigh_ = false;
    }
  }

  // One byte out at most per character: a two-byte character ends a pair and starts one.
  void AddLatin1(const unsigned char* p, qsizetype n) {
    Room(n);
    char* o = out_.data() + written_;
    qsizetype i = 0;
    while (i < n) {
      // A whole row of a dump ("XX " sixteen times and CR) in one step, with no
      // branch per pair; anything else in it and it is read as below.
      if (!haveHigh_ && n - i >= kRowLength && p[i + kRowLength - 1] == '\r') {
        int bad = 0;
        for (int j = 0; j < 16; ++j) {
          const unsigned char* t = p + i + 3 * j;
          const int high = textfn::HexDigitValue(t[0]), low = textfn::HexDigitValue(t[1]);
          bad |= high | low | -static_cast<int>(t[2] != ' ');
          o[j] = static_cast<char>(high * 16 + low);
        }
        if (bad >= 0) {
          o += 16;
          i += kRowLength;
          continue;
        }
      }
      // The common shape, two digits and a blank between pairs, in one step.
      if (!haveHigh_ && i + 2 < n && p[i + 2] == ' ') {
        const int high = textfn::HexDigitValue(p[i]), low = textfn::HexDigitValue(p[i + 1]);
        if (high >= 0 && low >= 0) {
          *o++ = static_cast<char>(high * 16 + low);
          i += 3;
          continue;
        }
      }
      if (p[i] < 0x80) {
        Put(p[i], o);
      } else {
        Put(0xC0 | (p[i] >> 6), o);
        Put(0x80 | (p[i] & 0x3F), o);
      }
      ++i;
    }
    written_ = o - out_.data();
  }

  void AddUtf8(const unsigned char* p, qsizetype n) {
    Room(n / 2 + 1);
    char* o = out_.data() + written_;
    for (qsizetype i = 0; i < n; ++i) Put(p[i], o);
    written_ = o - out_.data();
  }

  void AddUtf16(QStringView s) {
    if (s.isEmpty()) return;
    QString joined;
    if (pending_) {
      joined = QString(QChar(pending_)) + s.toString();
      s = joined;
      pending_ = 0;
    }
    if (s.back().isHighSurrogate()) {
      pending_ = s.back().unicode();
      s.chop(1);
    }
    const QByteArray utf8 = s.toUtf8();
    AddUtf8(reinterpret_cast<const unsigned char*>(utf8.constData()), utf8.size());
  }

  QByteArray out_;
  qsizetype written_ = 0;
  unsigned char high_ = 0;
  bool haveHigh_ = false;
  char16_t pending_ = 0;  // a high surrogate that ended the last piece
};

// Where byte i of a dump's hex text is spelled: its two digits start there.
constexpr qsizetype Spot(qsizetype i) { return i / 16 * kRowLength + i % 16 * 3; }
// The first byte whose digits start at pos or later.
constexpr qsizetype FirstWholeByte(qsizetype pos) {
  const qsizetype column = (pos % kRowLength + 2) / 3;
  return pos / kRowLength * 16 + column;  // column 16: the next row's first
}
// One past the last byte whose digits end at end or before.
constexpr qsizetype EndOfWholeBytes(qsizetype end) {
  return end / kRowLength * 16 + qMin<qsizetype>(16, (end % kRowLength + 1) / 3);
}

// Reads the text as it comes: pieces through the reader, and of a stretch of a
// dump's hex text the characters around its whole bytes only, the bytes themselves
// kept as a range of the file's.
class PartsReader {
 public:
  explicit PartsReader(qsizetype expectedBytes) : reader_(expectedBytes) {}

  void Add(QAnyStringView piece) { reader_.Add(piece); }

  void AddRows(const std::shared_ptr<const textfn::RowText>& rows, qsizetype from, qsizetype n) {
    const QByteArray* source = HexSource(*rows);
    const qsizetype end = from + n;
    const qsizetype first = source ? qMin(FirstWholeByte(from), source->size()) : 0;
    const qsizetype last = source ? qMin(EndOfWholeBytes(end), source->size()) : 0;
    if (last <= first) {
      Render(*rows, from, end);
      return;
    }
    Render(*rows, from, Spot(first));
    reader_.FlushSurrogate();
    if (!reader_.HalfPending()) {
      parts_.append(reader_.Take());
      parts_.appendRange(*source, first, last - first, false);
    } else {
      // The first byte's high digit ends the waiting pair; from there on each byte
      // is made of two of the file's.
      Render(*rows, Spot(first), Spot(first) + 1);
      parts_.append(reader_.Take());
      parts_.appendRange(*source, first, last - first - 1, true);
      reader_.SetHalfPending("0123456789ABCDEF"[static_cast<unsigned char>(source->at(last - 1)) & 0xF]);
    }
    Render(*rows, Spot(last - 1) + 2, end);
  }

  ByteParts Finish() && {
    reader_.FlushSurrogate();
    parts_.append(reader_.Take());
    return std::move(parts_);
  }

 private:
  void Render(const textfn::RowText& rows, qsizetype from, qsizetype end) {
    char block[4096];
    for (qsizetype at = from; at < end;) {
      const qsizetype k = qMin<qsizetype>(sizeof block, end - at);
      rows.render(at, k, block);
      reader_.Add(QLatin1StringView(block, k));
      at += k;
    }
  }

  PairReader reader_;
  ByteParts parts_;
};

// out[i] = the low half of in[i], then the high half of in[i + 1], for i < n; eight
// at a time as one big-endian word.
void ShiftHalfByte(const unsigned char* in, qsizetype n, unsigned char* out) {
  qsizetype i = 0;
  for (; i + 8 <= n; i += 8) {  // reads in[i + 8], the (n + 1)th byte at most
    quint64 word;
    std::memcpy(&word, in + i, 8);
    word = qFromBigEndian(word) << 4 | in[i + 8] >> 4;
    word = qToBigEndian(word);
    std::memcpy(out + i, &word, 8);
  }
  for (; i < n; ++i) out[i] = static_cast<unsigned char>(in[i] << 4 | in[i + 1] >> 4);
}

}  // namespace

qsizetype ByteParts::ownBytes() const {
  qsizetype own = 0;
  for (const Part& p : parts_) own += p.own ? p.n : 0;
  return own;
}

void ByteParts::append(QByteArray bytes) {
  if (bytes.isEmpty()) return;
  const qsizetype n = bytes.size();
  parts_.push_back({std::move(bytes), 0, n, false, true});
  size_ += n;
}

void ByteParts::appendRange(const QByteArray& source, qsizetype from, qsizetype n, bool shifted) {
  if (n <= 0) return;
  parts_.push_back({source, from, n, shifted, false});
  size_ += n;
}

void ByteParts::append(const ByteParts& more) {
  parts_.insert(parts_.end(), more.parts_.begin(), more.parts_.end());
  size_ += more.size_;
}

void ByteParts::write(const std::function<void(const char*, qsizetype)>& sink) const {
  QByteArray scratch;
  for (const Part& p : parts_) {
    const auto* in = reinterpret_cast<const unsigned char*>(p.bytes.constData()) + p.from;
    for (qsizetype done = 0; done < p.n;) {
      const qsizetype k = qMin(kBlock, p.n - done);
      if (!p.shifted) {
        sink(reinterpret_cast<const char*>(in + done), k);
      } else {
        if (scratch.size() < k) scratch.resize(k);
        ShiftHalfByte(in + done, k, reinterpret_cast<unsigned char*>(scratch.data()));
        sink(scratch.constData(), k);
      }
      done += k;
    }
  }
}

QByteArray ByteParts::toByteArray() const {
  if (parts_.size() == 1 && parts_[0].own) return parts_[0].bytes;
  QByteArray all(size_, Qt::Uninitialized);
  char* out = all.data();
  write([&out](const char* data, qsizetype n) {
    std::memcpy(out, data, static_cast<size_t>(n));
    out += n;
  });
  return all;
}

ByteParts TrackByteParts(const TrackText& text) {
  if (!text.readSpans) {
    PartsReader reader(text.length / 2 + 16);
    text.readPieces([&reader](QAnyStringView piece) { reader.Add(piece); });
    return std::move(reader).Finish();
  }
  // Only what is not a range of a file's bytes is built: start small.
  PartsReader reader(0);
  text.readSpans([&reader](QAnyStringView piece) { reader.Add(piece); },
                 [&reader](const std::shared_ptr<const textfn::RowText>& rows, qsizetype from, qsizetype n) {
                   reader.AddRows(rows, from, n);
                 });
  return std::move(reader).Finish();
}

QByteArray TrackBytes(const TrackText& text) { return TrackByteParts(text).toByteArray(); }

QByteArray TrackBytes(const QString& text) { return TrackBytes(TrackText::Of(text)); }

}  // namespace track
