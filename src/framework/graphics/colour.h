// Colours in the framework's model: red, green, blue and an alpha that counts
// transparency (0 opaque, 255 fully transparent), the opposite of Qt's.
#pragma once

#include <QColor>
#include <cstdint>

struct Color {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;

    QColor ToQColor() const { return QColor(red, green, blue, 255 - alpha); }
    bool IsFullyTransparent() const { return alpha == 255; }
    friend bool operator==(const Color&, const Color&) = default;
};

// Components outside 0..255 are clamped.
Color RGB(int red, int green, int blue, int alpha = 0);
