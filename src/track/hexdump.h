// The three texts of the hex view (addresses, hex pairs, characters), 16 bytes a row,
// built whole as one-byte-per-character ASCII texts in a single pass. The program
// itself never builds them so (the window shows the computed texts of dumprows.h):
// only the tests, benchmarks and fuzz targets use this, as the plain reference that
// those computed texts must always equal.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace track {

struct HexDump {
  QByteArray address;     // "00000000:" CR, then one line per complete row
  QByteArray hex;         // "XX " per byte, CR after every 16th
  QByteArray characters;  // the byte's character for 20 to 7E, else "-", then " "; CR after every 16th
};

struct HexDumpStrings {
  QString address;
  QString hex;
  QString characters;
};

// The dump of bytes. An empty input gives the address "00000000:" CR and empty
// hex and character texts.
HexDump DumpBytes(QByteArrayView bytes);

// One address line: the last eight upper-case hex digits of offset, ":" and CR.
QByteArray AddressLine(quint64 offset);

// The dump as QStrings (each a Latin-1 widening, no per-character work).
HexDumpStrings ToStrings(const HexDump& dump);

}  // namespace track
