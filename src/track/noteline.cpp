// The note line and the rest line.
#include "track/noteline.h"

namespace track {

QString NoteLine(const QString& key, const QString& vv, const QString& yy, const QString& xx) {
  return QStringLiteral("90 ") + key + u' ' + vv + u' ' + yy + u' ' + QStringLiteral("90 ") + key +
         u' ' + QStringLiteral("00 ") + xx + u' ' + u'\r';
}

QString RestLine(const QString& yy, const QString& xx) {
  return QStringLiteral("90 01 00 ") + yy + QStringLiteral(" 90 01 00 ") + xx + u'\r';
}

}  // namespace track
