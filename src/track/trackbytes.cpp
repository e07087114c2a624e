// Cleaning a track text and reading it in pairs, as one table-driven pass over its pieces.
#include "track/trackbytes.h"

#include "framework/text/hexdigits.h"

#include <algorithm>
#include <type_traits>

namespace track {

namespace {

constexpr qsizetype kRowLength = 49;  // a row of the hex view's dump

// Takes the UTF-8 form of the text piece by piece. Only the count of bytes of a
// character outside ASCII matters (none of them is a digit, a CR or a blank), but
// a surrogate pair split between two pieces is joined before it is encoded, so
// that the bytes are those of the whole text's UTF-8 form.
class PairReader {
 public:
  PairReader(qsizetype expectedLength, qsizetype room)
      : out_(room + expectedLength / 2 + 16, Qt::Uninitialized), written_(room) {
    std::fill(out_.data(), out_.data() + room, '\0');
  }

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

  QByteArray Finish() && {
    FlushSurrogate();
    out_.truncate(written_);
    return std::move(out_);
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

  void FlushSurrogate() {
    if (!pending_) return;
    const char16_t lone = pending_;
    pending_ = 0;
    const QByteArray utf8 = QStringView(&lone, 1).toUtf8();
    AddUtf8(reinterpret_cast<const unsigned char*>(utf8.constData()), utf8.size());
  }

  QByteArray out_;
  qsizetype written_;
  unsigned char high_ = 0;
  bool haveHigh_ = false;
  char16_t pending_ = 0;  // a high surrogate that ended the last piece
};

}  // namespace

QByteArray TrackBytes(const TrackText& text, qsizetype room) {
  PairReader reader(text.length, room);
  text.readPieces([&reader](QAnyStringView piece) { reader.Add(piece); });
  return std::move(reader).Finish();
}

QByteArray TrackBytes(const QString& text) { return TrackBytes(TrackText::Of(text)); }

}  // namespace track
