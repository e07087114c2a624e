// The three hex-view texts, built in one pre-sized pass with table lookups.
#include "track/hexdump.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cstring>

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

}  // namespace

HexDump DumpBytes(QByteArrayView bytes) {
  const qsizetype n = bytes.size();
  const qsizetype rows = n / kRow;
  const qsizetype rest = n % kRow;

  HexDump dump;
  dump.address = QByteArray((rows + 1) * kAddressLine, Qt::Uninitialized);
  dump.hex = QByteArray(n * 3 + rows, Qt::Uninitialized);
  dump.characters = QByteArray(n * 2 + rows, Qt::Uninitialized);

  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char* address = PutAddress(dump.address.data(), 0);
  char* hex = dump.hex.data();
  char* chars = dump.characters.data();
  for (qsizetype r = 0; r < rows; ++r) {
    PutEntries(in, kRow, hex, chars);
    in += kRow;
    *hex++ = '\r';
    *chars++ = '\r';
    address = PutAddress(address, static_cast<quint64>(r + 1) * kRow);
  }
  PutEntries(in, rest, hex, chars);
  return dump;
}

std::optional<HexDump> DumpFile(const QString& path) {
  // Only regular files (a link to one is followed): a device such as /dev/zero never
  // ends, and a FIFO without a writer blocks the caller in open().
  if (!QFileInfo(path).isFile()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return std::nullopt;
  if (file.isSequential()) return std::nullopt;  // swapped for a device since the check

  // Read, not mapped: a mapping faults (SIGBUS) if another program shrinks the file
  // meanwhile. The size is only a first guess; what is read up to end of file counts,
  // so a file that shrinks or grows (or a /proc file that says 0) gives what it held.
  // One byte over the size, so the read that meets end of file needs no growing.
  QByteArray contents(qMax<qint64>(file.size(), 0) + 1, Qt::Uninitialized);
  qsizetype got = 0;
  for (;;) {
    if (got == contents.size()) contents.resize(got + qMax<qsizetype>(got / 2, 64 * 1024));
    const qint64 n = file.read(contents.data() + got, contents.size() - got);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<qsizetype>(n);
  }
  return DumpBytes(QByteArrayView(contents.constData(), got));
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
