// The hex view's font fitting.
#include "window/hexviewfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace hexview {

QString AddressRow() { return QStringLiteral("00000000:"); }
QString HexRow() { return QStringLiteral("00 ").repeated(16); }
QString CharacterRow() { return QStringLiteral("W ").repeated(16); }

int LargestFittingPixelSize(QFont font, const QString& text, qreal width, int minPixels, int maxPixels)
{
    for (int px = maxPixels; px > minPixels; --px) {
        font.setPixelSize(px);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            return px;
    }
    return minPixels;
}

QFont FixedFont(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

int CaptionIndent(int textStartX, int columns, const QFont& font, int captionLeft)
{
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    return int(std::lround(textStartX + columns * advance)) - captionLeft;
}

}  // namespace hexview
