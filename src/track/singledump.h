// The single-area dump: addresses, hex groups and characters in one text.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace track {

// "000000:" then per 8 bytes four groups of four hex digits, each followed by a
// blank, a blank, the eight characters in pairs (0 as "^", others as the Latin-1
// character of the byte, control characters included), CR, a blank and the next
// address. A last row of fewer than 8 bytes gets its hex groups only.
QString SingleAreaDump(QByteArrayView bytes);

}  // namespace track
