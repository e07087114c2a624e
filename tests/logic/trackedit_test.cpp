// Editing rules of the track text: the "C" rule and the binary-to-hex converter
// (the note and rest lines are the window's entry tests).
#include "track/binaryhex.h"
#include "track/linedelete.h"
#include "pieces.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>

namespace {

struct DeleteCase { const char* text; qint64 caret; const char* after; qint64 caretAfter; };

class LineDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(LineDelete, DeletesBackToTheLineStartBeforeTheCaret) {
  const DeleteCase& c = GetParam();
  QString text = QString::fromLatin1(c.text);
  const track::TextRange r = track::LineDeleteRange(text, c.caret);
  QString result = text;
  result.remove(r.start, r.length);
  // The range ends at the caret, so the caret goes back by its length.
  EXPECT_EQ(std::pair(result, qBound<qint64>(0, c.caret, text.size()) - r.length),
            std::pair(QString::fromLatin1(c.after), c.caretAfter)) << c.caret;
  // Read a Latin-1 character at a time, as a held text comes, the range is the same.
  std::vector<qsizetype> ends(static_cast<size_t>(text.size()));
  std::iota(ends.begin(), ends.end(), 1);
  const track::TextRange p = track::LineDeleteRange(InPieces(text, ends, true), c.caret);
  EXPECT_EQ(std::pair(p.start, p.length), std::pair(r.start, r.length)) << c.caret;
}

INSTANTIATE_TEST_SUITE_P(
    Carets, LineDelete,
    ::testing::Values(DeleteCase{"AB\rCD\r", 6, "AB\r", 3}, DeleteCase{"AB\rCD\r", 5, "AB\r\r", 3},
                      DeleteCase{"AB\rCD\r", 4, "AB\rD\r", 3},
                      // no line end before: only up to the caret goes
                      DeleteCase{"AB\rCD\r", 3, "CD\r", 0}, DeleteCase{"AB\rCD\r", 2, "\rCD\r", 0},
                      DeleteCase{"AB\rCD\r", 1, "AB\rCD\r", 1}, DeleteCase{"AB\rCD\r", 0, "AB\rCD\r", 0},
                      DeleteCase{"\rAB\r", 4, "\r", 1}, DeleteCase{"AB\nCD\n", 6, "", 0},
                      DeleteCase{"AB\nCD\nEF", 4, "D\nEF", 0}, DeleteCase{"AB", 9, "", 0}));

// Each row: the typed binary text and its four hex digits, or nullptr where it is rejected.
TEST(BinaryToHex, GivesFourHexDigitsOrRejects) {
  const std::pair<const char*, const char*> rows[] = {
      {"0000 0011 0001 1000", "0318"}, {"1", "0001"}, {"1111111111111111", "FFFF"},
      {"1 0000 0000 0000 0000", "0000"}, {" 1 0 1 ", "0005"}, {"11111111", "00FF"}, {"", "0000"},
      {"   ", "0000"}, {"0000000000000000000001", "0001"},
      {"1111111111111111111111111111111111111111111111111111111111111111", "FFFF"},
      {"1010101010101010101010101010101010101010101010101010101010101010110", "5556"},
      {"102", nullptr}, {"10a", nullptr}, {"1\t0", nullptr}, {"1\r0", nullptr}, {"１", nullptr}};
  for (const auto& [input, output] : rows) {
    const auto result = track::BinaryToHex(QString::fromUtf8(input));
    EXPECT_EQ(result.value_or(u"rejected"_qs), output ? QString::fromLatin1(output) : u"rejected"_qs) << input;
  }
}

}  // namespace
