// The Standard MIDI File of a track text: format 0, one track, 480 ticks per quarter
// note, a program change to program 0, the text's bytes and an end-of-track event.
#pragma once

#include "track/trackbytes.h"
#include "track/tracktext.h"

#include <QByteArray>
#include <QString>

namespace track {

// 29 + n bytes, n being the bytes the text spells; a lone last digit is left out, so
// the file always ends in FF 2F 00 and its track length n + 7 is true.
// The text is read piece by piece, at once; the parts are built as they are written.
ByteParts MidiFileParts(const TrackText& trackText);
QByteArray MidiFileBytes(const TrackText& trackText);
QByteArray MidiFileBytes(const QString& trackText);

}  // namespace track
