// The framework's text functions, with the behaviour the program relies on.
#include "framework/text/hexdigits.h"
#include "framework/text/numbers.h"
#include "framework/text/strings.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace {

using namespace textfn;

TEST(Hex, UpperCaseWithoutLeadingZerosAndNegativeAsTwosComplement) {
  const std::pair<qint64, const char*> rows[] = {
      {0, "0"}, {10, "A"}, {88, "58"}, {0x1234ABCD, "1234ABCD"}, {-1, "FFFFFFFFFFFFFFFF"},
      {-128, "FFFFFFFFFFFFFF80"}, {std::numeric_limits<qint64>::min(), "8000000000000000"}};
  for (const auto& [n, text] : rows) EXPECT_EQ(Hex(n), text) << n;
}

TEST(Val, ReadsTheLeadingNumber) {
  const std::pair<const char*, double> rows[] = {
      {"&h3C", 60}, {"&Hff", 255}, {"&h", 0}, {"&hG1", 0}, {"&h1G", 1}, {"&h7f 00", 127},
      {"&hFFFFFFFFFFFFFFFF", 18446744073709551615.0}, {"&b101", 5}, {"&o17", 15}, {"41", 41}, {"127", 127},
      {"", 0}, {"abc", 0}, {" -2.5e1x", -25}, {"12abc", 12}, {"+.5", 0.5}, {"3e", 3}, {"-", 0},
      {"&o78", 7}, {"&b12", 1}, {"&h\u0661", 0}};
  for (const auto& [text, value] : rows) EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(text)), value) << text;
}

struct PairCase { char16_t first, second; int value; };

class HexPairTable : public ::testing::TestWithParam<PairCase> {};

// The pair rule shared by the delta-time texts and the writers is Val of "&h" and the pair.
TEST_P(HexPairTable, ReadsAsValOfAmpersandH) {
  const PairCase& c = GetParam();
  const QString pair = QString(QChar(c.first)) + QChar(c.second);
  EXPECT_EQ(HexPairValue(c.first, c.second), c.value) << pair.toStdString();
  EXPECT_EQ(Val(QStringLiteral("&h") + pair), c.value) << pair.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, HexPairTable,
    ::testing::Values(PairCase{'0', '0', 0x00}, PairCase{'f', 'F', 0xFF}, PairCase{'7', 'a', 0x7A},
                      PairCase{'9', '\n', 9}, PairCase{'\t', '9', 0}, PairCase{'G', '1', 0},
                      PairCase{'1', 'G', 1}, PairCase{0xC3, 0xA9, 0}, PairCase{u'é', 'A', 0},
                      PairCase{'1', u'\u0661', 1}, PairCase{u'\uFF11', '1', 0},
                      PairCase{'A', u'\u0130', 10}, PairCase{'/', ':', 0}, PairCase{'@', 'g', 0}));

TEST(ToInteger, TruncatesAndClampsToSixtyFourBits) {
  const std::pair<double, qint64> rows[] = {
      {3.9, 3}, {-3.9, -3}, {1e300, std::numeric_limits<qint64>::max()},
      {-1e300, std::numeric_limits<qint64>::min()}, {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& [x, n] : rows) EXPECT_EQ(ToInteger(x), n) << x;
}

struct FieldsCase { const char* text; const char* separator; qint64 fields; };

class CountFieldsTable : public ::testing::TestWithParam<FieldsCase> {};

// CountFields agrees with NthField: that many fields, joined by the separator, give
// the text back, and the next field is empty.
TEST_P(CountFieldsTable, CountsTheFieldsNthFieldSees) {
  const FieldsCase& c = GetParam();
  const QString text = QString::fromUtf8(c.text), separator = QString::fromUtf8(c.separator);
  ASSERT_EQ(CountFields(text, separator), c.fields) << c.text;
  if (separator.isEmpty()) return;
  QStringList fields;
  for (qint64 n = 1; n <= c.fields; ++n) fields << NthField(text, separator, n);
  EXPECT_EQ(fields.join(separator), text) << c.text;
  EXPECT_EQ(NthField(text, separator, c.fields + 1), QString()) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CountFieldsTable,
    ::testing::Values(FieldsCase{"90 3C 55 ", " ", 4}, FieldsCase{"", " ", 1}, FieldsCase{"\r\r", "\r", 3},
                      FieldsCase{"aaaa", "aa", 3}, FieldsCase{"aaa", "aa", 2}, FieldsCase{"a,,,b", ",,", 2},
                      FieldsCase{"abc", "", 1}, FieldsCase{"abc", "x", 1}));

}  // namespace
