// The raw byte file of a track text.
#include "track/rawfile.h"

#include "track/trackbytes.h"

namespace track {

ByteParts RawFileParts(const TrackText& trackText) { return TrackByteParts(trackText); }

QByteArray RawFileBytes(const TrackText& trackText) { return TrackBytes(trackText); }

QByteArray RawFileBytes(const QString& trackText) { return TrackBytes(trackText); }

}  // namespace track
