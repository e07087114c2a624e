// A string as a track text of one piece.
#include "track/tracktext.h"

namespace track {

TrackText TrackText::Of(const QString& text) {
  return {text.size(), [text](const Reader& read) { read(QStringView(text)); }, {}};
}

}  // namespace track
