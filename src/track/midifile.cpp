// The Standard MIDI File of a track text.
#include "track/midifile.h"

#include "track/trackbytes.h"

namespace track {

QByteArray MidiFileBytes(const QString& trackText) {
  const QByteArray events = TrackBytes(trackText);
  static constexpr char header[] = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6,  // header chunk, length 6
      0, 0, 0, 1,                      // format 0, one track
      0x01, static_cast<char>(0xE0),   // 480 ticks per quarter note
      'M', 'T', 'r', 'k'};
  static constexpr char programChange[] = {0, static_cast<char>(0xC0), 0, 0};
  static constexpr char endOfTrack[] = {static_cast<char>(0xFF), 0x2F, 0};

  // The length field is the last eight hex digits of n + 7: the low 32 bits.
  const quint32 length = static_cast<quint32>(static_cast<quint64>(events.size()) + 7);
  QByteArray file;
  file.reserve(sizeof header + 4 + sizeof programChange + events.size() + sizeof endOfTrack);
  file.append(header, sizeof header);
  for (int shift = 24; shift >= 0; shift -= 8) file.append(static_cast<char>((length >> shift) & 0xFF));
  file.append(programChange, sizeof programChange);
  file.append(events);
  file.append(endOfTrack, sizeof endOfTrack);
  return file;
}

}  // namespace track
