// The raw byte file: exactly the bytes that a track text spells.
#pragma once

#include "track/tracktext.h"

#include <QByteArray>
#include <QString>

namespace track {

// The text is read piece by piece.
QByteArray RawFileBytes(const TrackText& trackText);
QByteArray RawFileBytes(const QString& trackText);

}  // namespace track
