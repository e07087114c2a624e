// Editing rules of the track text: note and rest lines, the editor state, the "C"
// rule, the key filters and the binary-to-hex converter.
#include "track/binaryhex.h"
#include "track/editorstate.h"
#include "track/keyfilter.h"
#include "track/linedelete.h"
#include "track/noteline.h"

#include <gtest/gtest.h>

namespace {

TEST(NoteLine, DefaultStateAndKey3C) {
  track::EditorState s;
  track::SetOpenTimeValues(s);
  const QString line = track::NoteLine(QStringLiteral("3C"), s.vv, s.yy, s.xx);
  EXPECT_EQ(line, QStringLiteral("90 3C 55 83 18 90 3C 00 48 \r"));
  EXPECT_EQ(line.size(), 28);
}

TEST(RestLine, HasNoBlankBeforeItsReturn) {
  EXPECT_EQ(track::RestLine(QStringLiteral("83 18"), QStringLiteral("48")),
            QStringLiteral("90 01 00 83 18 90 01 00 48\r"));
  EXPECT_EQ(track::RestLine(QStringLiteral("8C 60"), QStringLiteral("82 20")),
            QStringLiteral("90 01 00 8C 60 90 01 00 82 20\r"));
}

TEST(EditorState, StartsEmptyAndOpensWithTheDefaults) {
  track::EditorState s;
  EXPECT_TRUE(s.xx.isEmpty() && s.yy.isEmpty() && s.vv.isEmpty());
  EXPECT_EQ(s.dur.size(), 2);
  EXPECT_EQ(s.vel.size(), 2);
  EXPECT_EQ(s.d, 0.0);
  track::SetOpenTimeValues(s);
  EXPECT_EQ(s.xx, "48");
  EXPECT_EQ(s.yy, "83 18");
  EXPECT_EQ(s.vv, "55");
  EXPECT_EQ(s.d, 1.0);
  EXPECT_EQ(s.v, 7);
  EXPECT_EQ(s.noteCount, 0);
}

struct DeleteCase {
  const char* text;
  qint64 caret;
  const char* after;
  qint64 caretAfter;
};

class LineDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(LineDelete, DeletesBackToTheLineStartBeforeTheCaret) {
  const DeleteCase& c = GetParam();
  QString text = QString::fromLatin1(c.text);
  const track::TextRange r = track::LineDeleteRange(text, c.caret);
  QString result = text;
  result.remove(r.start, r.length);
  EXPECT_EQ(result, QString::fromLatin1(c.after)) << c.caret;
  if (r.length > 0) EXPECT_EQ(r.start, c.caretAfter);
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

struct KeyCase {
  const char* key;
  bool hexColumn;
  bool otherColumns;
};

class KeyFilters : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyFilters, SwallowEverythingButHexDigitsBlankAndReturn) {
  const QString key = QString::fromUtf8(GetParam().key);
  EXPECT_EQ(track::BinaryTaKeyDown(key), GetParam().hexColumn) << GetParam().key;
  EXPECT_EQ(track::HedderTaKeyDown(key), GetParam().otherColumns) << GetParam().key;
  EXPECT_EQ(track::FutterTaKeyDown(key), GetParam().otherColumns) << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyFilters,
    ::testing::Values(KeyCase{"0", false, false}, KeyCase{"9", false, false}, KeyCase{"a", false, false},
                      KeyCase{"F", false, false}, KeyCase{" ", false, false}, KeyCase{"\r", false, false},
                      KeyCase{"\b", false, true}, KeyCase{"\t", true, true}, KeyCase{"g", true, true},
                      KeyCase{"Z", true, true}, KeyCase{"\x1b", true, true}, KeyCase{"\x7f", true, true},
                      KeyCase{"\xef\x9c\x80", true, true},  // an arrow key's private-use character
                      KeyCase{",", true, true}, KeyCase{"", true, true}, KeyCase{"é", true, true}));

struct BinaryCase {
  const char* input;
  const char* output;  // nullptr: rejected
};

class BinaryToHex : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryToHex, GivesFourHexDigitsOrRejects) {
  const auto result = track::BinaryToHex(QString::fromUtf8(GetParam().input));
  if (GetParam().output == nullptr) {
    EXPECT_FALSE(result.has_value()) << GetParam().input;
  } else {
    ASSERT_TRUE(result.has_value()) << GetParam().input;
    EXPECT_EQ(*result, GetParam().output);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BinaryToHex,
    ::testing::Values(BinaryCase{"0000 0011 0001 1000", "0318"}, BinaryCase{"1", "0001"},
                      BinaryCase{"1111111111111111", "FFFF"}, BinaryCase{"1 0000 0000 0000 0000", "0000"},
                      BinaryCase{" 1 0 1 ", "0005"}, BinaryCase{"11111111", "00FF"}, BinaryCase{"", "0000"},
                      BinaryCase{"   ", "0000"}, BinaryCase{"0000000000000000000001", "0001"},
                      BinaryCase{"1111111111111111111111111111111111111111111111111111111111111111", "FFFF"},
                      BinaryCase{"1010101010101010101010101010101010101010101010101010101010101010110", "5556"},
                      BinaryCase{"102", nullptr}, BinaryCase{"10a", nullptr}, BinaryCase{"1\t0", nullptr},
                      BinaryCase{"1\r0", nullptr}, BinaryCase{"１", nullptr}));

}  // namespace
