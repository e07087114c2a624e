// Reading a track text as bytes: the pass shared by the MIDI and raw writers.
#pragma once

#include "track/tracktext.h"

#include <QByteArray>
#include <QString>

namespace track {

// The bytes a track text spells, in one pass: the UTF-8 form without its carriage
// returns and blanks, read in consecutive pairs as the framework's Val reads "&h" and
// the pair (textfn::HexPairValue); a lone last byte is left out. The text is read
// piece by piece; room zero bytes come first, for the caller to fill.
QByteArray TrackBytes(const TrackText& text, qsizetype room = 0);
QByteArray TrackBytes(const QString& text);

}  // namespace track
