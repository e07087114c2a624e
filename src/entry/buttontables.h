// The choices of the velocity and note-length button rows.
#pragma once

#include "track/notelengths.h"

#include <QString>

namespace entry {

inline constexpr char VelocityValues[] = "00,05,0A,14,1E,28,32,3C,46,4B,55,5A,64,6E,78,7F";
using track::GapDeltas;
using track::GateDeltas;

inline constexpr int kButtonsPerRow = 16;

// Field index + 1 of a row's list, stored whole (a two-byte field keeps its blank);
// the empty text for an index outside 0 to 15.
QString VelocityField(qint64 index);  // for vv
QString GapField(qint64 index);       // for xx
QString GateField(qint64 index);      // for yy

}  // namespace entry
