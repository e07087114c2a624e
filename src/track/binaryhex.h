// The binary-to-hex converter: binary digits to four hexadecimal digits.
#pragma once

#include <QString>
#include <optional>

namespace track {

// Blanks dropped, the rest read as binary digits; the lowest 16 bits as four
// upper-case hex digits ("0000" when no digit is left). nullopt rejects any other
// character: the output field keeps its text.
std::optional<QString> BinaryToHex(const QString& input);

}  // namespace track
