// The characters of the hex view's texts for each byte value, shared by the built
// and the computed dump: its two hex digits, and its character column entry.
#pragma once

#include <array>

namespace track::dumptables {

struct Tables {
  std::array<std::array<char, 2>, 256> pair;   // "00" to "FF"
  std::array<std::array<char, 2>, 256> shown;  // the character (20 to 7E, else "-") and its blank
};

constexpr Tables MakeTables() {
  Tables t{};
  constexpr char digits[] = "0123456789ABCDEF";
  for (int b = 0; b < 256; ++b) {
    t.pair[b] = {digits[b >> 4], digits[b & 15]};
    t.shown[b] = {(b > 31 && b < 127) ? static_cast<char>(b) : '-', ' '};
  }
  return t;
}

inline constexpr Tables kTables = MakeTables();

inline constexpr long long kRow = 16;          // bytes a row
inline constexpr long long kAddressLine = 10;  // eight digits, ":", CR
inline constexpr long long kHexLine = 49;      // "XX " sixteen times, CR
inline constexpr long long kCharacterLine = 33;  // "c " sixteen times, CR

}  // namespace track::dumptables
