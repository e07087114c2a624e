// Fuzz target: MIDI and raw bytes from any track text, against a plain two-pass
// reading of the same text.
#include "framework/text/numbers.h"
#include "track/midifile.h"
#include "track/rawfile.h"

#include <QtEndian>

#include <cstdlib>
#include <cstring>

namespace {

// The bytes the text spells, the slow way: blanks and returns dropped from its UTF-8
// form, then each pair read by Val as "&h" and the pair.
QByteArray Reference(const QString& text) {
  QByteArray digits = text.toUtf8();
  digits.replace('\r', QByteArray()).replace(' ', QByteArray());
  QByteArray out;
  // Two digits give 0 to 255: through an unsigned byte, since a double above 127
  // converted straight to char is undefined.
  for (qsizetype k = 0; k + 1 < digits.size(); k += 2)
    out += static_cast<char>(static_cast<quint8>(textfn::ValHex(QString::fromLatin1(digits.mid(k, 2)))));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QByteArray raw = track::RawFileBytes(text);
  const QByteArray midi = track::MidiFileBytes(text);
  if (raw != Reference(text)) abort();
  if (midi.size() != 29 + raw.size()) abort();
  if (std::memcmp(midi.constData(), "MThd\0\0\0\6\0\0\0\1\1\xE0MTrk", 18) != 0) abort();
  if (qFromBigEndian<quint32>(midi.constData() + 18) != quint32(midi.size() - 22)) abort();
  if (midi.mid(26, raw.size()) != raw) abort();
  if (!midi.endsWith(QByteArray("\xFF\x2F\x00", 3))) abort();
  return 0;
}
