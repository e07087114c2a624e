// The Standard MIDI File of a track text.
#include "track/midifile.h"

#include <utility>

namespace track {

namespace {

constexpr char kHeader[] = {
    'M', 'T', 'h', 'd', 0, 0, 0, 6,  // header chunk, length 6
    0, 0, 0, 1,                      // format 0, one track
    0x01, static_cast<char>(0xE0),   // 480 ticks per quarter note
    'M', 'T', 'r', 'k'};
constexpr char kProgramChange[] = {0, static_cast<char>(0xC0), 0, 0};
constexpr char kEndOfTrack[] = {static_cast<char>(0xFF), 0x2F, 0};

}  // namespace

ByteParts MidiFileParts(const TrackText& trackText) {
  const ByteParts events = TrackByteParts(trackText);
  // The length field is the last eight hex digits of n + 7: the low 32 bits.
  const quint32 length = static_cast<quint32>(static_cast<quint64>(events.size()) + 7);
  QByteArray lead(kHeader, sizeof kHeader);
  for (int shift = 24; shift >= 0; shift -= 8) lead += static_cast<char>((length >> shift) & 0xFF);
  lead.append(kProgramChange, sizeof kProgramChange);
  ByteParts file;
  file.append(std::move(lead));
  file.append(events);
  file.append(QByteArray(kEndOfTrack, sizeof kEndOfTrack));
  return file;
}

QByteArray MidiFileBytes(const TrackText& trackText) { return MidiFileParts(trackText).toByteArray(); }

QByteArray MidiFileBytes(const QString& trackText) { return MidiFileBytes(TrackText::Of(trackText)); }

}  // namespace track
