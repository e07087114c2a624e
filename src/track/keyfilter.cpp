// The key filters of the three hex-view columns.
#include "track/keyfilter.h"

#include "framework/text/bytes.h"
#include "framework/text/strings.h"

namespace track {

namespace {

bool Filter(const QString& key, bool backspacePasses) {
  const qint64 code = textfn::Asc(key);
  if (code == 13) return false;
  if (code == 8 && backspacePasses) return false;
  return textfn::InStrB(QString::fromLatin1(HexKeySet), key) == 0;
}

}  // namespace

bool BinaryTaKeyDown(const QString& key) { return Filter(key, true); }
bool HedderTaKeyDown(const QString& key) { return Filter(key, false); }
bool FutterTaKeyDown(const QString& key) { return Filter(key, false); }

}  // namespace track
