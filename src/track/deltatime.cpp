// Delta-time texts to ticks and back, and the note-length lookup.
#include "track/deltatime.h"

#include "framework/text/hexdigits.h"
#include "framework/text/numbers.h"
#include "framework/text/strings.h"
#include "track/notelengths.h"

#include <QStringList>
#include <array>

namespace track {

namespace {

bool SameIgnoringHexCase(QStringView a, QStringView b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    char16_t x = a[i].unicode(), y = b[i].unicode();
    if (x >= 'a' && x <= 'f') x -= 'a' - 'A';
    if (y >= 'a' && y <= 'f') y -= 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

}  // namespace

qint64 VaToDu(const QString& text) {
  // The last eight non-blank characters, zero-filled on the left.
  std::array<QChar, 8> last;
  last.fill(QChar(u'0'));
  int filled = 0;
  for (qsizetype i = text.size() - 1; i >= 0 && filled < 8; --i) {
    if (text[i] == u' ') continue;
    last[7 - filled] = text[i];
    ++filled;
  }
  qint64 ticks = 0;
  // Each group reads as "&h" and the group would: a non-hex character ends the number.
  for (int g = 0; g < 4; ++g)
    ticks = ticks * 128 + (textfn::HexPairValue(last[2 * g].unicode(), last[2 * g + 1].unicode()) & 0x7F);
  return ticks;
}

QString DuToVa(qint64 ticks) {
  // The low 32 bits less their top four: 28 bits in four groups of seven.
  const quint32 bits = static_cast<quint32>(static_cast<quint64>(ticks) & 0x0FFFFFFF);
  const quint32 g3 = (bits >> 21) & 0x7F, g2 = (bits >> 14) & 0x7F, g1 = (bits >> 7) & 0x7F,
                g0 = bits & 0x7F;
  auto byte = [](quint32 b) { return textfn::Right(QStringLiteral("0") + textfn::Hex(b), 2); };
  if (g3 == 0 && g2 == 0 && g1 == 0) return byte(g0);
  if (g3 == 0 && g2 == 0) return byte(128 + g1) + byte(g0);
  if (g3 == 0) return byte(128 + g2) + byte(128 + g1) + byte(g0);
  return byte(128 + g3) + byte(128 + g2) + byte(128 + g1) + byte(g0);
}

qint64 ConvDur(const QString& text) {
  static const QStringList steps = QString::fromLatin1(StepDeltas).split(u',');
  static const QStringList gates = QString::fromLatin1(GateDeltas).split(u',');
  for (const QStringList* table : {&steps, &gates})
    for (qsizetype row = 0; row < table->size(); ++row)
      if (SameIgnoringHexCase(text, (*table)[row])) return VaToDu(steps[row]);
  return 0;
}

}  // namespace track
