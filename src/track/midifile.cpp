// The Standard MIDI File of a track text.
#include "track/midifile.h"

#include "track/trackbytes.h"

#include <cstring>

namespace track {

namespace {

constexpr char kHeader[] = {
    'M', 'T', 'h', 'd', 0, 0, 0, 6,  // header chunk, length 6
    0, 0, 0, 1,                      // format 0, one track
    0x01, static_cast<char>(0xE0),   // 480 ticks per quarter note
    'M', 'T', 'r', 'k'};
constexpr char kProgramChange[] = {0, static_cast<char>(0xC0), 0, 0};
constexpr char kEndOfTrack[] = {static_cast<char>(0xFF), 0x2F, 0};
constexpr qsizetype kLead = sizeof kHeader + 4 + sizeof kProgramChange;

}  // namespace

QByteArray MidiFileBytes(const TrackText& trackText) {
  // The text's bytes go straight in after room for what leads them: no second copy.
  QByteArray file = TrackBytes(trackText, kLead);
  const qsizetype events = file.size() - kLead;
  // The length field is the last eight hex digits of n + 7: the low 32 bits.
  const quint32 length = static_cast<quint32>(static_cast<quint64>(events) + 7);
  char* out = file.data();
  std::memcpy(out, kHeader, sizeof kHeader);
  out += sizeof kHeader;
  for (int shift = 24; shift >= 0; shift -= 8) *out++ = static_cast<char>((length >> shift) & 0xFF);
  std::memcpy(out, kProgramChange, sizeof kProgramChange);
  file.append(kEndOfTrack, sizeof kEndOfTrack);
  return file;
}

QByteArray MidiFileBytes(const QString& trackText) { return MidiFileBytes(TrackText::Of(trackText)); }

}  // namespace track
