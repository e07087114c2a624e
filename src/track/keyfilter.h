// The key filters of the three hex-view columns. True swallows the key.
#pragma once

#include <QString>

namespace track {

// The hex key set: digits, a to f, A to F and the blank.
inline constexpr char HexKeySet[] = "1234567890abcdefABCDEF ";

// Hex column: Return, Backspace and keys found in the set pass; all else is swallowed.
bool BinaryTaKeyDown(const QString& key);
// Address and character columns: as the hex column, but Backspace is swallowed.
bool HedderTaKeyDown(const QString& key);
bool FutterTaKeyDown(const QString& key);

}  // namespace track
