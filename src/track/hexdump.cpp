// The three hex-view texts, built whole in one pre-sized pass with table lookups.
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

}  // namespace

HexDump DumpBytes(QByteArrayView bytes) {
  const qsizetype n = bytes.size();
  HexDump dump{QByteArray(AddressSize(n), Qt::Uninitialized), QByteArray(HexSize(n), Qt::Uninitialized),
               QByteArray(CharactersSize(n), Qt::Uninitialized)};
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char* address = PutAddress(dump.address.data(), 0);
  char* hex = dump.hex.data();
  char* chars = dump.characters.data();
  for (qsizetype done = 0; done < n;) {
    const qsizetype take = qMin(n - done, kRow);
    PutEntries(in + done, take, hex, chars);
    done += take;
    if (take == kRow) {
      *hex++ = '\r';
      *chars++ = '\r';
      address = PutAddress(address, static_cast<quint64>(done));
    }
  }
  return dump;
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
