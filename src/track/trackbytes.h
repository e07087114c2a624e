// Reading a track text as bytes: the pass shared by the MIDI and raw writers.
#pragma once

#include <QByteArray>
#include <QString>

namespace track {

// The bytes a track text spells, in one pass: the UTF-8 form without its carriage
// returns and blanks, read in consecutive pairs as the framework's Val reads "&h" and
// the pair (textfn::HexPairValue); a lone last byte is left out.
QByteArray TrackBytes(const QString& text);

}  // namespace track
