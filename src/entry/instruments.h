// The instrument list's rows and the note player's instrument for a chosen row.
#pragma once

#include <QStringList>

namespace entry {

inline constexpr int kInstrumentRows = 129;
inline constexpr int kFirstProgramRow = 1;  // chosen when the list opens

// Row 0 the heading "楽器選択", rows 1 to 128 "00：…" to "7F：Gunshot".
QStringList InstrumentRows();

// The 1-based instrument for a chosen row: row k gives k, the heading (and any row
// outside the list) gives 1.
qint64 InstrumentForRow(qint64 row);

}  // namespace entry
