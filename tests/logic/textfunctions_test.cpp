// The framework's text functions, with the behaviour the program relies on.
#include "framework/text/bytes.h"
#include "framework/text/hexdigits.h"
#include "framework/text/numbers.h"
#include "framework/text/strings.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace textfn;

TEST(Hex, UpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(Hex(0), "0");
  EXPECT_EQ(Hex(10), "A");
  EXPECT_EQ(Hex(88), "58");
  EXPECT_EQ(Hex(0x1234ABCD), "1234ABCD");
}

TEST(Hex, NegativeIsSixteenDigitTwosComplement) {
  EXPECT_EQ(Hex(-1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Hex(-128), "FFFFFFFFFFFFFF80");
  EXPECT_EQ(Hex(std::numeric_limits<qint64>::min()), "8000000000000000");
}

struct ValCase {
  const char* text;
  double value;
};

class ValTable : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTable, ReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTable,
    ::testing::Values(ValCase{"&h3C", 60}, ValCase{"&Hff", 255}, ValCase{"&h", 0}, ValCase{"&hG1", 0},
                      ValCase{"&h1G", 1}, ValCase{"&h7f 00", 127}, ValCase{"&hFFFFFFFFFFFFFFFF", 18446744073709551615.0},
                      ValCase{"&b101", 5}, ValCase{"&o17", 15}, ValCase{"41", 41}, ValCase{"127", 127},
                      ValCase{"", 0}, ValCase{"abc", 0}, ValCase{" -2.5e1x", -25}, ValCase{"12abc", 12},
                      ValCase{"+.5", 0.5}, ValCase{"3e", 3}, ValCase{"-", 0}, ValCase{"&o78", 7},
                      ValCase{"&b12", 1}, ValCase{"&h\u0661", 0}));

struct PairCase {
  char16_t first, second;
  int value;
};

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
  EXPECT_EQ(ToInteger(3.9), 3);
  EXPECT_EQ(ToInteger(-3.9), -3);
  EXPECT_EQ(ToInteger(1e300), std::numeric_limits<qint64>::max());
  EXPECT_EQ(ToInteger(-1e300), std::numeric_limits<qint64>::min());
  EXPECT_EQ(ToInteger(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(IntegerFromBinary, ReadsBinaryDigitsOrRejects) {
  EXPECT_EQ(IntegerFromBinary(u"1011"), 11);
  EXPECT_EQ(IntegerFromBinary(u""), 0);
  EXPECT_EQ(IntegerFromBinary(QString(64, u'1')), -1);
  EXPECT_EQ(IntegerFromBinary(QStringLiteral("1") + QString(64, u'0')), 0);  // the lowest 64 bits
  EXPECT_FALSE(IntegerFromBinary(u"102").has_value());
  EXPECT_FALSE(IntegerFromBinary(u"1 0").has_value());
}

TEST(NthField, CountsFromOneAndIsEmptyBeyondTheLast) {
  const QString t = QStringLiteral("90 3C  55 ");
  EXPECT_EQ(NthField(t, " ", 1), "90");
  EXPECT_EQ(NthField(t, " ", 2), "3C");
  EXPECT_EQ(NthField(t, " ", 3), "");
  EXPECT_EQ(NthField(t, " ", 4), "55");
  EXPECT_EQ(NthField(t, " ", 5), "");
  EXPECT_EQ(NthField(t, " ", 6), "");
  EXPECT_EQ(NthField(t, " ", 0), "");
  EXPECT_EQ(NthField("a,,b", ",,", 2), "b");
}

struct FieldsCase {
  const char* text;
  const char* separator;
  qint64 fields;
};

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

TEST(Right, TakesTheLastCharacters) {
  EXPECT_EQ(Right("000000003C", 8), "0000003C");
  EXPECT_EQ(Right("AB", 5), "AB");
  EXPECT_EQ(Right("AB", 0), "");
  EXPECT_EQ(Right("AB", -1), "");
}

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  EXPECT_EQ(ReplaceAll("1 0 1 ", " ", ""), "101");
  EXPECT_EQ(ReplaceAll("aaa", "a", "bb"), "bbbbbb");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(AscAndChr, AreCharacterCodes) {
  EXPECT_EQ(Asc("\r"), 13);
  EXPECT_EQ(Asc("A?"), 65);
  EXPECT_EQ(Asc(""), 0);
  EXPECT_EQ(Asc("😀"), 0x1F600);
  EXPECT_EQ(Chr(13), "\r");
  EXPECT_EQ(Chr(0x1F600), "😀");
  EXPECT_EQ(Chr(-1), "");
}

TEST(ByteFunctions, CountBytesOfTheUtf8Form) {
  EXPECT_EQ(LenB(QStringLiteral("aé")), 3);
  EXPECT_EQ(LenB(QByteArray("abc")), 3);
  EXPECT_EQ(MidB("4D546864", 3, 2), "54");
  EXPECT_EQ(MidB("abc", 3, 5), "c");
  EXPECT_EQ(MidB("abc", 4, 1), "");
  EXPECT_EQ(MidB("abc", 0, 2), "a");
  EXPECT_EQ(RightB("0000000010", 8), "00000010");
  EXPECT_EQ(ChrB(13), QByteArray("\r"));
  EXPECT_EQ(ChrB(-1), QByteArray("\xFF"));
}

TEST(InStrB, IsByteWiseAndCaseSensitive) {
  EXPECT_EQ(InStrB(QByteArray("abcABC"), QByteArray("A")), 4);
  EXPECT_EQ(InStrB(QByteArray("abc"), QByteArray("d")), 0);
  EXPECT_EQ(InStrB(QByteArray("abc"), QByteArray()), 0);
  EXPECT_EQ(InStrB(2, QByteArray("abab"), QByteArray("a")), 3);
  EXPECT_EQ(InStrB(QStringLiteral("xé"), QStringLiteral("é")), 2);
}

}  // namespace
