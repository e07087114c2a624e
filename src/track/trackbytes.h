// Reading a track text as bytes: the cleaning and the pair conversion shared by the
// MIDI and raw writers.
#pragma once

#include <QByteArray>
#include <QString>

namespace track {

// The UTF-8 form of the text without its carriage returns and blanks.
QByteArray CleanTrackText(const QString& text);

// The byte one two-byte pair spells, as the framework's Val reads "&h" and the pair:
// a first byte that is no hex digit gives 0, a second that is none gives the first
// digit's value.
quint8 PairByte(char high, char low);

// floor(size / 2) bytes from consecutive pairs; a lone last byte is left out.
QByteArray PairBytes(const QByteArray& digits);

// The bytes a track text spells: cleaned, then paired, in one pass.
QByteArray TrackBytes(const QString& text);

}  // namespace track
