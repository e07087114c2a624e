// Fuzz target: the dump of any bytes, saved back raw, gives the bytes again, and the
// computed texts are the built ones.
#include "track/dumprows.h"
#include "track/hexdump.h"
#include "track/rawfile.h"
#include "track/singledump.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(data, static_cast<qsizetype>(size));
  const track::HexDump dump = track::DumpBytes(bytes);
  const qsizetype rows = bytes.size() / 16;
  if (dump.hex.size() != 3 * bytes.size() + rows) abort();
  if (dump.characters.size() != 2 * bytes.size() + rows) abort();
  if (dump.address.size() != 10 * (rows + 1)) abort();
  if (track::RawFileBytes(track::ToStrings(dump).hex) != bytes) abort();
  const track::DumpTexts computed = track::DumpRows(bytes.toByteArray());
  if (computed.address->toLatin1() != dump.address || computed.hex->toLatin1() != dump.hex ||
      computed.characters->toLatin1() != dump.characters)
    abort();
  if (!track::SingleAreaDump(bytes).startsWith(u"000000:")) abort();
  return 0;
}
