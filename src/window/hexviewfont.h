// Fitting the hex view's fixed-pitch font: the largest size at which a full
// 16-byte row fits a column without wrapping, and where a caption's text starts so
// that its tokens stand over the columns' characters.
#pragma once

#include <QFont>
#include <QString>

namespace hexview {

// The widest line of each column: an address, 16 pairs and 16 characters, each of
// the latter two followed by its blank.
QString AddressRow();
QString HexRow();
QString CharacterRow();

// The largest pixel size, from maxPixels down to minPixels, at which text set in
// font fits width pixels; minPixels when none does.
int LargestFittingPixelSize(QFont font, const QString& text, qreal width, int minPixels = 6,
                            int maxPixels = 48);

// The desktop's fixed-pitch font at that pixel size.
QFont FixedFont(int pixelSize);

// The indent that puts a caption's first character `columns` characters after
// the start of a column's text; negative when the caption's left edge already
// lies right of that place.
int CaptionIndent(int textStartX, int columns, const QFont& font, int captionLeft);

}  // namespace hexview
