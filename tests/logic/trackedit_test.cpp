// Editing rules of the track text: the "C" rule and the binary-to-hex converter
// (the note and rest lines are the window's entry tests).
#include "track/binaryhex.h"
#include "track/linedelete.h"
#include "pieces.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

// A text in pieces ending at each of ends, read back from a point as a text area
// does it: Latin-1 pieces as Latin-1, others as UTF-16; counts what it hands over.
struct BackFrom {
  BackFrom(const QString& t, std::vector<qsizetype> e) : text(t), ends(std::move(e)) {}
  track::ReadBackward Reader() {
    return [this](qint64 end, const std::function<bool(QAnyStringView)>& take) {
      for (size_t i = ends.size(); i-- > 0;) {
        const qsizetype from = i == 0 ? 0 : ends[i - 1];
        if (from >= end) continue;
        const QStringView piece = QStringView(text).sliced(from, qMin<qsizetype>(ends[i], end) - from);
        read += piece.size();
        const QByteArray narrow = piece.toLatin1();
        const bool more = QString::fromLatin1(narrow) == piece ? take(QLatin1StringView(narrow)) : take(piece);
        if (!more) return;
      }
    };
  }
  QString text;
  std::vector<qsizetype> ends;
  qint64 read = 0;
};

struct DeleteCase { const char* text; qint64 caret; const char* after; qint64 caretAfter; };

TEST(LineDelete, DeletesBackToTheLineStartBeforeTheCaret) {
  const DeleteCase cases[] = {
      {"AB\rCD\r", 6, "AB\r", 3}, {"AB\rCD\r", 5, "AB\r\r", 3}, {"AB\rCD\r", 4, "AB\rD\r", 3},
      // no line end before: only up to the caret goes
      {"AB\rCD\r", 3, "CD\r", 0}, {"AB\rCD\r", 2, "\rCD\r", 0}, {"AB\rCD\r", 1, "AB\rCD\r", 1},
      {"AB\rCD\r", 0, "AB\rCD\r", 0}, {"\rAB\r", 4, "\r", 1}, {"AB\nCD\n", 6, "", 0},
      {"AB\nCD\nEF", 4, "D\nEF", 0}, {"AB", 9, "", 0}};
  for (const DeleteCase& c : cases) {
    const QString text = QString::fromLatin1(c.text);
    const track::TextRange r = track::LineDeleteRange(text, c.caret);
    // The range ends at the caret, so the caret goes back by its length.
    EXPECT_EQ(std::pair(QString(text).remove(r.start, r.length), qBound<qint64>(0, c.caret, text.size()) - r.length),
              std::pair(QString::fromLatin1(c.after), c.caretAfter)) << c.text << " " << c.caret;
  }
}

// On a long text in pieces of every kind, with the caret anywhere: the range is the
// plain search's, and the text is read back from the caret only as far as the
// piece holding the line end.
TEST(LineDeleteLarge, ReadsBackFromTheCaretOnlyToTheLineEnd) {
  std::mt19937 random(17);
  QString text;
  for (int row = 0; row < 3000; ++row)
    text += row % 7 == 3 ? QStringLiteral("\u3042 %1\r").arg(row) : QString(int(random() % 120), QChar(u'A' + row % 26)) + u'\r';
  text += QStringLiteral("90 3C");
  BackFrom pieces(text, RandomEnds(text.size(), 300, random));
  for (qint64 caret = 0; caret <= text.size() + 1; caret += 1 + qint64(random() % 97)) {
    const qint64 s = qMin<qint64>(caret, text.size());
    const qint64 cr = s < 2 ? -1 : text.lastIndexOf(u'\r', s - 2);
    pieces.read = 0;
    const track::TextRange r = track::LineDeleteRange(text.size(), pieces.Reader(), caret);
    const auto expected = s < 2 ? std::pair<qint64, qint64>(0, 0) : cr < 0 ? std::pair(qint64(0), s) : std::pair(cr + 1, s - 1 - cr);
    ASSERT_EQ(std::pair(r.start, r.length), expected) << caret;
    ASSERT_LE(pieces.read, s - 1 - qMax<qint64>(cr, 0) + 300) << caret;
  }
}

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
