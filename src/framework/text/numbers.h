// Number texts of the framework: Hex, Val and Integer.FromBinary.
#pragma once

#include <QString>
#include <optional>

namespace textfn {

// Upper-case hexadecimal digits without leading zeros; a negative value gives the
// 16 digits of its 64-bit two's complement. Hex(0) is "0".
QString Hex(qint64 value);

// The number a text spells. With the prefix "&h" (either case) it reads hexadecimal
// digits of either case up to the first other character, "&o" octal and "&b" binary
// digits likewise (digits beyond 64 bits keep the low 64 bits, read as unsigned).
// Otherwise it reads a leading decimal number (blanks, a sign, digits, a fraction,
// an exponent). A text without a digit where one is expected gives 0.
double Val(QStringView text);

// Val of "&h" followed by digits, without building that text.
double ValHex(QStringView digits);

// The whole-number part of a Val result as a 64-bit integer, clamped to the 64-bit
// range (a double beyond it cannot be converted safely).
qint64 ToInteger(double value);

// The 64-bit signed integer a text of binary digits spells, most significant digit
// first. nullopt stands for the framework's InvalidArgumentException: any character
// other than 0 and 1. A text without digits gives 0; more than 64 digits keep the
// lowest 64 bits.
std::optional<qint64> IntegerFromBinary(QStringView text);

}  // namespace textfn
