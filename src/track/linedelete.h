// The "C" rule: what deleting the line before the caret removes.
#pragma once

#include "track/tracktext.h"

#include <QString>

namespace track {

struct TextRange {
  qint64 start = 0;
  qint64 length = 0;  // 0: nothing changes
};

// From just after the nearest carriage return at positions 0 to caret - 2 up to the
// caret; with no such carriage return, from 0 up to the caret (what follows the caret
// stays). A caret below 2 deletes nothing. The caret is clamped to the text, which is
// read piece by piece.
TextRange LineDeleteRange(const TrackText& text, qint64 caret);
TextRange LineDeleteRange(const QString& text, qint64 caret);

}  // namespace track
