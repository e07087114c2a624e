// The three hex-view texts, built in one pre-sized pass with table lookups.
#include "track/hexdump.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

namespace track {

namespace {

struct Tables {
  std::array<std::array<char, 2>, 256> pair;  // "00" to "FF"
  std::array<std::array<char, 2>, 256> shown; // the character and its blank
};

constexpr Tables MakeTables() {
  Tables t{};
  constexpr char digits[] = "0123456789ABCDEF";
  for (int b = 0; b < 256; ++b) {
    t.pair[b] = {digits[b >> 4], digits[b & 15]};
    t.shown[b] = {(b > 31 && b < 127) ? static_cast<char>(b) : '-', ' '};
  }
  return t;
}

constexpr Tables kTables = MakeTables();

constexpr qsizetype kRow = 16;
constexpr qsizetype kAddressLine = 10;  // eight digits, ":", CR

inline char* PutAddress(char* out, quint64 offset) {
  const quint32 low = static_cast<quint32>(offset);  // only the last eight digits show
  for (int shift = 24; shift >= 0; shift -= 8) {
    std::memcpy(out, kTables.pair[(low >> shift) & 0xFF].data(), 2);
    out += 2;
  }
  out[0] = ':';
  out[1] = '\r';
  return out + 2;
}

inline void PutEntries(const unsigned char* in, qsizetype count, char*& hex, char*& chars) {
  for (qsizetype i = 0; i < count; ++i) {
    const unsigned char b = in[i];
    std::memcpy(hex, kTables.pair[b].data(), 2);
    hex[2] = ' ';
    hex += 3;
    std::memcpy(chars, kTables.shown[b].data(), 2);
    chars += 2;
  }
}

// Sizes of the three texts for a count of bytes.
constexpr qsizetype AddressSize(qsizetype n) { return (n / kRow + 1) * kAddressLine; }
constexpr qsizetype HexSize(qsizetype n) { return n * 3 + n / kRow; }
constexpr qsizetype CharactersSize(qsizetype n) { return n * 2 + n / kRow; }

// Builds the three texts from bytes that come in pieces of any length, into texts
// sized for the expected count; they grow if more bytes come than expected.
class DumpWriter {
 public:
  explicit DumpWriter(qsizetype expected) {
    dump_.address = QByteArray(AddressSize(expected), Qt::Uninitialized);
    dump_.hex = QByteArray(HexSize(expected), Qt::Uninitialized);
    dump_.characters = QByteArray(CharactersSize(expected), Qt::Uninitialized);
    PutAddress(dump_.address.data(), 0);
  }

  void Append(const unsigned char* in, qsizetype n) {
    const qsizetype end = count_ + n;
    if (HexSize(end) > dump_.hex.size()) Grow(qMax(end, count_ + count_ / 2));
    char* address = dump_.address.data() + AddressSize(count_);
    char* hex = dump_.hex.data() + HexSize(count_);
    char* chars = dump_.characters.data() + CharactersSize(count_);
    while (n > 0) {
      const qsizetype inRow = count_ % kRow;
      const qsizetype take = qMin(n, kRow - inRow);
      PutEntries(in, take, hex, chars);
      in += take;
      n -= take;
      count_ += take;
      if (inRow + take == kRow) {
        *hex++ = '\r';
        *chars++ = '\r';
        address = PutAddress(address, static_cast<quint64>(count_));
      }
    }
  }

  HexDump Finish() && {
    dump_.address.truncate(AddressSize(count_));
    dump_.hex.truncate(HexSize(count_));
    dump_.characters.truncate(CharactersSize(count_));
    return std::move(dump_);
  }

 private:
  void Grow(qsizetype bytes) {
    dump_.address.resize(AddressSize(bytes));
    dump_.hex.resize(HexSize(bytes));
    dump_.characters.resize(CharactersSize(bytes));
  }

  HexDump dump_;
  qsizetype count_ = 0;
};

}  // namespace

HexDump DumpBytes(QByteArrayView bytes) {
  DumpWriter writer(bytes.size());
  writer.Append(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  return std::move(writer).Finish();
}

std::optional<HexDump> DumpFile(const QString& path) {
  // Only regular files (a link to one is followed): a device such as /dev/zero never
  // ends, and a FIFO without a writer blocks the caller in open().
  if (!QFileInfo(path).isFile()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return std::nullopt;
  if (file.isSequential()) return std::nullopt;  // swapped for a device since the check

  // Read, not mapped: a mapping faults (SIGBUS) if another program shrinks the file
  // meanwhile. The size is only the first guess of the texts' sizes; the bytes read up
  // to end of file count, so a file that shrinks or grows (or a /proc file that says 0)
  // gives what it held. Read in pieces that stay in cache and go straight into the
  // texts, with no copy of the whole file. The piece is half a row short of 128 KiB, so
  // that rows span pieces in any large file and that path is never left untried.
  constexpr qsizetype kPiece = 128 * 1024 - 8;
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kPiece]);
  DumpWriter writer(qMax<qint64>(file.size(), 0));
  for (;;) {
    const qint64 n = file.read(reinterpret_cast<char*>(piece.get()), kPiece);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    writer.Append(piece.get(), static_cast<qsizetype>(n));
  }
  return std::move(writer).Finish();
}

QByteArray AddressLine(quint64 offset) {
  QByteArray line(kAddressLine, Qt::Uninitialized);
  PutAddress(line.data(), offset);
  return line;
}

HexDumpStrings ToStrings(const HexDump& dump) {
  return {QString::fromLatin1(dump.address), QString::fromLatin1(dump.hex),
          QString::fromLatin1(dump.characters)};
}

}  // namespace track
