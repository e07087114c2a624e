// Delta-time texts: MIDI variable-length quantities written as blank-separated
// hexadecimal bytes ("83 18" is 408 ticks), and their conversions to and from ticks.
#pragma once

#include <QString>

namespace track {

// Ticks of a delta-time text: blanks dropped, the last eight characters read as four
// bytes (missing ones are 00), the low seven bits of each joined. Digits of either
// case; a non-hex character ends its byte's number (a non-ASCII character is one).
// Continuation flags are not checked. Never fails; 0 to 268,435,455.
qint64 VaToDu(const QString& text);

// The delta-time text of the low 28 bits of ticks, bytes joined without blanks
// (0 -> "00", 128 -> "8100", 408 -> "8318").
QString DuToVa(qint64 ticks);

// The whole step of a note-length text: each row's step text and gate text give the
// row's step ticks (gate plus gap), any other text 0. Hex letters match in either case.
qint64 ConvDur(const QString& text);

}  // namespace track
