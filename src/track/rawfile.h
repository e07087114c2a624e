// The raw byte file: exactly the bytes that a track text spells.
#pragma once

#include "track/trackbytes.h"
#include "track/tracktext.h"

#include <QByteArray>
#include <QString>

namespace track {

// The text is read piece by piece, at once; the parts are built as they are written.
ByteParts RawFileParts(const TrackText& trackText);
QByteArray RawFileBytes(const TrackText& trackText);
QByteArray RawFileBytes(const QString& trackText);

}  // namespace track
