// The three hex-view texts, built in one pre-sized pass with table lookups.
#include "track/hexdump.h"

#include "track/dumptables.h"

#include <array>
#include <cstring>
#include <utility>

namespace track {

namespace {

using dumptables::kTables;
constexpr qsizetype kRow = dumptables::kRow;
constexpr qsizetype kAddressLine = dumptables::kAddressLine;

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
