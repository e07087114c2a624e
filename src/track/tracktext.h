// The track text as the writers and playback read it: its pieces in order, each
// Latin-1 or UTF-16, so that a large text held in pieces is never copied whole.
#pragma once

#include "framework/text/rowtext.h"

#include <QAnyStringView>
#include <QString>
#include <functional>
#include <memory>

namespace track {

struct TrackText {
  using Reader = std::function<void(QAnyStringView piece)>;
  // Characters [from, from + n) of a computed text, unbuilt.
  using RowsReader = std::function<void(const std::shared_ptr<const textfn::RowText>& rows, qsizetype from, qsizetype n)>;

  qsizetype length = 0;                                 // characters, for sizing what is built
  std::function<void(const Reader&)> readPieces;       // hands every piece to the reader, in order
  // Where the text may hold stretches of a computed text: the same text with each
  // of them handed over unbuilt. Empty for a text that holds none.
  std::function<void(const Reader&, const RowsReader&)> readSpans;

  // A whole string as one piece (it is kept, shared).
  static TrackText Of(const QString& text);
};

}  // namespace track
