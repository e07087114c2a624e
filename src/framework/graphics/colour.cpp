// Colour construction.
#include "framework/graphics/colour.h"

#include <algorithm>

Color RGB(int red, int green, int blue, int alpha)
{
    auto c = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return Color{c(red), c(green), c(blue), c(alpha)};
}
