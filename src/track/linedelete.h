// The "C" rule: what deleting the line before the caret removes.
#pragma once

#include <QAnyStringView>
#include <QString>
#include <functional>

namespace track {

struct TextRange {
  qint64 start = 0;
  qint64 length = 0;  // 0: nothing changes
};

// Hands read the pieces of the text before end, from the last back to the first,
// while read returns true.
using ReadBackward = std::function<void(qint64 end, const std::function<bool(QAnyStringView piece)>& read)>;

// From just after the nearest carriage return at positions 0 to caret - 2 up to the
// caret; with no such carriage return, from 0 up to the caret (what follows the caret
// stays). A caret below 2 deletes nothing. The caret is clamped to the text's length;
// the text is read back from the caret only as far as that carriage return.
TextRange LineDeleteRange(qint64 length, const ReadBackward& readBack, qint64 caret);
TextRange LineDeleteRange(const QString& text, qint64 caret);

}  // namespace track
