// The raw byte file: exactly the bytes that a track text spells.
#pragma once

#include <QByteArray>
#include <QString>

namespace track {

QByteArray RawFileBytes(const QString& trackText);

}  // namespace track
