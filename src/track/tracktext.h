// The track text as the writers and playback read it: its pieces in order, each
// Latin-1 or UTF-16, so that a large text held in pieces is never copied whole.
#pragma once

#include <QAnyStringView>
#include <QString>
#include <functional>

namespace track {

struct TrackText {
  using Reader = std::function<void(QAnyStringView piece)>;

  qsizetype length = 0;                                 // characters, for sizing what is built
  std::function<void(const Reader&)> readPieces;       // hands every piece to the reader, in order

  // A whole string as one piece (it is kept, shared).
  static TrackText Of(const QString& text);
};

}  // namespace track
