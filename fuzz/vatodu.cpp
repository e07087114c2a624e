// Fuzz target: delta-time texts to ticks and back.
#include "track/deltatime.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qint64 ticks = track::VaToDu(text);
  if (ticks < 0 || ticks > 268435455) abort();
  if (track::VaToDu(track::DuToVa(ticks)) != ticks) abort();
  if (track::ConvDur(text) < 0) abort();
  if (size >= 8) {
    qint64 n;
    std::memcpy(&n, data, sizeof n);
    if (track::VaToDu(track::DuToVa(n)) != (n & 0x0FFFFFFF)) abort();
  }
  return 0;
}
