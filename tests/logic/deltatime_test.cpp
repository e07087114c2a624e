// Delta-time texts, ConvDur and the playback velocity.
#include "track/deltatime.h"
#include "track/velocity.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TextTicks {
  const char* text;
  qint64 ticks;
};

class VaToDuTable : public ::testing::TestWithParam<TextTicks> {};

TEST_P(VaToDuTable, DecodesToTicks) {
  EXPECT_EQ(track::VaToDu(QString::fromUtf8(GetParam().text)), GetParam().ticks) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    DeltaTimes, VaToDuTable,
    ::testing::Values(TextTicks{"83 18", 408}, TextTicks{"48", 72}, TextTicks{"8F 00", 1920},
                      TextTicks{"83 60", 480}, TextTicks{"81 80 00", 16384},
                      TextTicks{"8180 00", 16384}, TextTicks{"FF FF", 16383},
                      TextTicks{"8f 00", 1920}, TextTicks{"", 0}, TextTicks{"86 2E", 814},
                      TextTicks{"86 30", 816},
                      // an odd count: the first digit stands alone as a low digit
                      TextTicks{"818", 1048},
                      // only the last eight characters count
                      TextTicks{"12 34 56 78 9A", ((0x34 * 128 + 0x56) * 128 + 0x78) * 128 + 0x1A},
                      // a non-hex second digit keeps the first, a non-hex first gives 0
                      TextTicks{"8G", 8}, TextTicks{"G8", 0}, TextTicks{"zz zz", 0},
                      TextTicks{"é5", 0}, TextTicks{"5é", 5}, TextTicks{"😀", 0},
                      TextTicks{"   ", 0}, TextTicks{"FF FF FF FF", 268435455}));

struct TicksText {
  qint64 ticks;
  const char* text;
};

class DuToVaTable : public ::testing::TestWithParam<TicksText> {};

TEST_P(DuToVaTable, EncodesWithoutBlanks) {
  EXPECT_EQ(track::DuToVa(GetParam().ticks), QString::fromLatin1(GetParam().text)) << GetParam().ticks;
}

INSTANTIATE_TEST_SUITE_P(
    DeltaTimes, DuToVaTable,
    ::testing::Values(TicksText{0, "00"}, TicksText{127, "7F"}, TicksText{128, "8100"},
                      TicksText{408, "8318"}, TicksText{1920, "8F00"}, TicksText{16383, "FF7F"},
                      TicksText{16384, "818000"}, TicksText{2097151, "FFFF7F"},
                      TicksText{2097152, "81808000"}, TicksText{268435455, "FFFFFF7F"},
                      TicksText{268435456, "00"}, TicksText{-1, "FFFFFF7F"}));

TEST(DeltaTimeRoundTrip, HoldsAtTheGroupBoundaries) {
  for (qint64 n : {0LL, 1LL, 127LL, 128LL, 16383LL, 16384LL, 2097151LL, 2097152LL, 268435454LL,
                   268435455LL})
    EXPECT_EQ(track::VaToDu(track::DuToVa(n)), n) << n;
}

TEST(DeltaTimeRoundTrip, HoldsOnARandomSample) {
  std::mt19937_64 random(20240601);
  std::uniform_int_distribution<qint64> ticks(0, 268435455);
  for (int i = 0; i < 20000; ++i) {
    const qint64 n = ticks(random);
    ASSERT_EQ(track::VaToDu(track::DuToVa(n)), n) << n;
  }
}

TEST(DeltaTimeRoundTrip, DropsBitsAboveTheTwentyEighth) {
  EXPECT_EQ(track::VaToDu(track::DuToVa(268435456 + 5)), 5);
  EXPECT_EQ(track::VaToDu(track::DuToVa(-1)), 268435455);
}

struct NoteLength {
  const char* step;
  const char* gate;
  qint64 ticks;
};

class ConvDurTable : public ::testing::TestWithParam<NoteLength> {};

TEST_P(ConvDurTable, StepAndGateTextsGiveTheWholeStep) {
  const NoteLength& row = GetParam();
  EXPECT_EQ(track::ConvDur(QString::fromLatin1(row.step)), row.ticks);
  EXPECT_EQ(track::ConvDur(QString::fromLatin1(row.gate)), row.ticks);
  EXPECT_EQ(track::ConvDur(QString::fromLatin1(row.gate).toLower()), row.ticks);
  EXPECT_EQ(track::VaToDu(QString::fromLatin1(row.step)), row.ticks);
}

INSTANTIATE_TEST_SUITE_P(
    NoteLengths, ConvDurTable,
    ::testing::Values(NoteLength{"8F 00", "8C 60", 1920}, NoteLength{"8B 20", "89 48", 1440},
                      NoteLength{"87 40", "86 30", 960}, NoteLength{"85 50", "84 64", 720},
                      NoteLength{"83 60", "83 18", 480}, NoteLength{"83 24", "82 65", 420},
                      NoteLength{"82 68", "82 32", 360}, NoteLength{"82 40", "82 10", 320},
                      NoteLength{"81 70", "81 4C", 240}, NoteLength{"81 34", "81 19", 180},
                      NoteLength{"81 20", "81 08", 160}, NoteLength{"78", "66", 120},
                      NoteLength{"50", "44", 80}, NoteLength{"3C", "33", 60},
                      NoteLength{"1E", "19", 30}, NoteLength{"0F", "0D", 15}));

TEST(ConvDur, GivesZeroOutsideItsTable) {
  EXPECT_EQ(track::ConvDur(QString()), 0);
  EXPECT_EQ(track::ConvDur(QStringLiteral("86 2E")), 0);  // the old gate of row 2
  EXPECT_EQ(track::ConvDur(QStringLiteral("8300")), 0);
  EXPECT_EQ(track::ConvDur(QStringLiteral(" 83 60")), 0);
  EXPECT_EQ(track::ConvDur(QStringLiteral("ＦＦ")), 0);
}

struct ValueVelocity {
  qint64 x;
  qint64 velocity;
};

class VelocityTable : public ::testing::TestWithParam<ValueVelocity> {};

TEST_P(VelocityTable, ScalesBySevenNinthsAndCapsAt127) {
  EXPECT_EQ(track::Velocity(GetParam().x, 7), GetParam().velocity) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    VelocityValues, VelocityTable,
    ::testing::Values(ValueVelocity{0x00, 50}, ValueVelocity{0x05, 53}, ValueVelocity{0x0A, 57},
                      ValueVelocity{0x14, 65}, ValueVelocity{0x1E, 73}, ValueVelocity{0x28, 81},
                      ValueVelocity{0x32, 88}, ValueVelocity{0x3C, 96}, ValueVelocity{0x46, 104},
                      ValueVelocity{0x4B, 108}, ValueVelocity{0x55, 116}, ValueVelocity{0x5A, 120},
                      ValueVelocity{0x64, 127}, ValueVelocity{0x6E, 127}, ValueVelocity{0x78, 127},
                      ValueVelocity{0x7F, 127}, ValueVelocity{98, 126}, ValueVelocity{99, 127},
                      ValueVelocity{-9, 43}));

TEST(Velocity, WrapsAHugeProductInsteadOfOverflowing) {
  const qint64 big = std::numeric_limits<qint64>::max();
  EXPECT_LE(track::Velocity(big, 7), 127);
  EXPECT_EQ(track::Velocity(big, 0), 50);
}

}  // namespace
