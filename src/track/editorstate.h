// The editor state the main window holds: the note-entry choices and the working
// data of playback.
#pragma once

#include "track/textlist.h"

#include <QString>

namespace track {

struct EditorState {
  QString xx;  // gap delta-time text
  QString yy;  // gate delta-time text
  QString vv;  // velocity, two hex digits
  qint64 noteCount = 0;
  TextList dur{QString(), QString()};
  TextList note{QString(), QString()};
  TextList pit{QString(), QString()};
  qint64 selL = 0;
  qint64 soundNumber = 0;
  TextList vel{QString(), QString()};
  double d = 0.0;  // milliseconds per tick
  qint64 v = 0;    // velocity scale
};

// The values set when the window opens: xx "48", yy "83 18", vv "55", d 1.0, v 7.
void SetOpenTimeValues(EditorState& state);

}  // namespace track
