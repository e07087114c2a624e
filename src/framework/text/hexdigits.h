// Hexadecimal digits as Val reads them after "&h": the digit table, and the rule for a
// two-character pair that the delta-time texts and the track writers share.
#pragma once

#include <QtGlobal>
#include <array>

namespace textfn {

namespace detail {

constexpr std::array<qint8, 256> MakeHexDigitTable() {
  std::array<qint8, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = -1;
  for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<qint8>(i);
  for (int i = 0; i < 6; ++i) {
    t['a' + i] = static_cast<qint8>(10 + i);
    t['A' + i] = static_cast<qint8>(10 + i);
  }
  return t;
}

inline constexpr std::array<qint8, 256> kHexDigit = MakeHexDigitTable();

}  // namespace detail

// The value of one hexadecimal digit of either case; -1 for any other character
// (every one outside ASCII too). A byte of UTF-8 text is passed as unsigned char.
constexpr int HexDigitValue(char16_t c) { return c < 256 ? detail::kHexDigit[c] : -1; }

// What Val gives for "&h" and the two characters: the number ends at the first
// character that is no digit, so a non-digit first gives 0 and a non-digit second
// gives the first digit's value. 0 to 255.
constexpr int HexPairValue(char16_t first, char16_t second) {
  const int high = HexDigitValue(first);
  if (high < 0) return 0;
  const int low = HexDigitValue(second);
  return low < 0 ? high : high * 16 + low;
}

}  // namespace textfn
