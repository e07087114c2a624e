// The velocity playback sounds for a line's velocity value.
#pragma once

#include <QtGlobal>

namespace track {

// Whole-number part of 50 + x * v / 9, at most 127. The product wraps as a 64-bit
// integer; there is no lower bound (x = 0 gives 50, a negative product less).
qint64 Velocity(qint64 x, qint64 v);

}  // namespace track
