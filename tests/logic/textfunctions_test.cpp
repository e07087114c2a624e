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

// The pair rule shared by the delta-time texts and the writers is Val of "&h" and the pair.
TEST(HexPairTable, ReadsAsValOfAmpersandH) {
  const PairCase cases[] = {{'0', '0', 0x00}, {'f', 'F', 0xFF},      {'7', 'a', 0x7A},         {'9', '\n', 9},
                            {'\t', '9', 0},   {'G', '1', 0},         {'1', 'G', 1},            {0xC3, 0xA9, 0},
                            {u'é', 'A', 0},   {'1', u'\u0661', 1},   {u'\uFF11', '1', 0},      {'A', u'\u0130', 10},
                            {'/', ':', 0},    {'@', 'g', 0}};
  for (const PairCase& c : cases) {
    const QString pair = QString(QChar(c.first)) + QChar(c.second);
    EXPECT_EQ(std::pair(HexPairValue(c.first, c.second), Val(QStringLiteral("&h") + pair)), std::pair(c.value, double(c.value)))
        << pair.toStdString();
  }
}

TEST(ToInteger, TruncatesAndClampsToSixtyFourBits) {
  const std::pair<double, qint64> rows[] = {
      {3.9, 3}, {-3.9, -3}, {1e300, std::numeric_limits<qint64>::max()},
      {-1e300, std::numeric_limits<qint64>::min()}, {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& [x, n] : rows) EXPECT_EQ(ToInteger(x), n) << x;
}

struct FieldsCase { const char* text; const char* separator; qint64 fields; };

// CountFields agrees with NthField: that many fields, joined by the separator, give
// the text back, and the next field is empty.
TEST(CountFieldsTable, CountsTheFieldsNthFieldSees) {
  const FieldsCase cases[] = {{"90 3C 55 ", " ", 4}, {"", " ", 1},    {"\r\r", "\r", 3}, {"aaaa", "aa", 3},
                              {"aaa", "aa", 2},      {"a,,,b", ",,", 2}, {"abc", "", 1},    {"abc", "x", 1}};
  for (const FieldsCase& c : cases) {
    const QString text = QString::fromUtf8(c.text), separator = QString::fromUtf8(c.separator);
    ASSERT_EQ(CountFields(text, separator), c.fields) << c.text;
    if (separator.isEmpty()) continue;
    QStringList fields;
    for (qint64 n = 1; n <= c.fields; ++n) fields << NthField(text, separator, n);
    EXPECT_EQ(std::pair(fields.join(separator), NthField(text, separator, c.fields + 1)), std::pair(text, QString()))
        << c.text;
  }
}

}  // namespace
