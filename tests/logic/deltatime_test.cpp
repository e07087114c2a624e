// Delta-time texts, the note lengths ConvDur knows, and the playback velocity.
#include "entry/buttontables.h"
#include "track/deltatime.h"
#include "track/velocity.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <tuple>
#include <utility>

namespace {

TEST(VaToDu, DecodesTheTable) {
  const std::pair<const char*, qint64> rows[] = {
      {"83 18", 408}, {"48", 72}, {"81 80 00", 16384}, {"8180 00", 16384}, {"FF FF", 16383},
      {"8f 00", 1920}, {"", 0}, {"86 2E", 814}, {"86 30", 816},
      {"818", 1048},  // an odd count: the first digit stands alone as a low digit
      // only the last eight characters count
      {"12 34 56 78 9A", ((0x34 * 128 + 0x56) * 128 + 0x78) * 128 + 0x1A},
      // a non-hex second digit keeps the first, a non-hex first gives 0
      {"8G", 8}, {"G8", 0}, {"zz zz", 0}, {"é5", 0}, {"5é", 5}, {"😀", 0}, {"   ", 0},
      {"FF FF FF FF", 268435455}};
  for (const auto& [text, ticks] : rows) EXPECT_EQ(track::VaToDu(QString::fromUtf8(text)), ticks) << text;
}

TEST(DuToVa, EncodesWithoutBlanksAndKeepsTheLowTwentyEightBits) {
  const std::pair<qint64, const char*> rows[] = {
      {0, "00"}, {127, "7F"}, {128, "8100"}, {408, "8318"}, {16383, "FF7F"}, {16384, "818000"},
      {2097151, "FFFF7F"}, {2097152, "81808000"}, {268435455, "FFFFFF7F"}, {268435456, "00"},
      {-1, "FFFFFF7F"}};
  for (const auto& [ticks, text] : rows) {
    EXPECT_EQ(track::DuToVa(ticks), QString::fromLatin1(text)) << ticks;
    EXPECT_EQ(track::VaToDu(track::DuToVa(ticks)), ticks & 0x0FFFFFFF) << ticks;
  }
}

// One row per note-entry button, in order: its step text and ticks, and the gate
// and gap it writes.
TEST(NoteLengths, StepAndGateGiveTheWholeStepAndTheGateIs85Percent) {
  const std::pair<const char*, qint64> rows[] = {
      {"8F 00", 1920}, {"8B 20", 1440}, {"87 40", 960}, {"85 50", 720}, {"83 60", 480}, {"83 24", 420},
      {"82 68", 360},  {"82 40", 320},  {"81 70", 240}, {"81 34", 180}, {"81 20", 160}, {"78", 120},
      {"50", 80},      {"3C", 60},      {"1E", 30},     {"0F", 15}};
  for (int button = 0; button < int(std::size(rows)); ++button) {
    const auto& [step, ticks] = rows[button];
    SCOPED_TRACE(button);
    const QString gateText = entry::GateField(button);
    const qint64 gate = track::VaToDu(gateText);
    EXPECT_EQ(std::tuple(track::VaToDu(QString::fromLatin1(step)), track::ConvDur(QString::fromLatin1(step)),
                         track::ConvDur(gateText), track::ConvDur(gateText.toLower()),
                         gate + track::VaToDu(entry::GapField(button))),
              std::tuple(ticks, ticks, ticks, ticks, ticks));
    EXPECT_NEAR(static_cast<double>(gate), ticks * 0.85, 0.5);
  }
}

TEST(NoteLengths, TextsOutsideTheTableGiveZeroAndButtonsOutsideTheRowNothing) {
  for (const char* text : {"", "86 2E" /* the old gate of button 2 */, "8300", " 83 60", "ＦＦ"})
    EXPECT_EQ(track::ConvDur(QString::fromUtf8(text)), 0) << text;
  EXPECT_EQ(entry::VelocityField(16), "");
  EXPECT_EQ(entry::GateField(-1), "");
}

TEST(Velocity, ScalesBySevenNinthsFromFiftyAndCapsAt127) {
  const std::pair<qint64, qint64> rows[] = {{0x00, 50}, {0x05, 53}, {0x55, 116}, {98, 126}, {99, 127},
                                            {0x7F, 127}, {-9, 43}};
  for (const auto& [x, velocity] : rows) EXPECT_EQ(track::Velocity(x, 7), velocity) << x;
  const qint64 big = std::numeric_limits<qint64>::max();  // wraps instead of overflowing
  EXPECT_LE(track::Velocity(big, 7), 127);
  EXPECT_EQ(track::Velocity(big, 0), 50);
}

}  // namespace
