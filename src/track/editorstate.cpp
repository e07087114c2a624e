// The editor state's open-time values.
#include "track/editorstate.h"

namespace track {

void SetOpenTimeValues(EditorState& state) {
  state.xx = QStringLiteral("48");
  state.yy = QStringLiteral("83 18");
  state.vv = QStringLiteral("55");
  state.d = 1.0;
  state.v = 7;
}

}  // namespace track
