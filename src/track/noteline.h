// The two line forms the note-entry panel puts into the track text.
#pragma once

#include <QString>

namespace track {

// "90 key vv yy 90 key 00 xx " and a carriage return: note-on, gate, note-on of
// velocity 0, gap. Every field is followed by one blank, the last one included.
QString NoteLine(const QString& key, const QString& vv, const QString& yy, const QString& xx);

// "90 01 00 yy 90 01 00 xx" and a carriage return, with no blank before it.
QString RestLine(const QString& yy, const QString& xx);

}  // namespace track
