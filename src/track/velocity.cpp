// The velocity playback sounds for a line's velocity value.
#include "track/velocity.h"

namespace track {

qint64 Velocity(qint64 x, qint64 v) {
  // Wrapping as the 64-bit product would, without the undefined signed overflow.
  const qint64 product = static_cast<qint64>(static_cast<quint64>(x) * static_cast<quint64>(v));
  const qint64 result = static_cast<qint64>(static_cast<double>(product) / 9.0 + 50.0);
  return result > 127 ? 127 : result;
}

}  // namespace track
