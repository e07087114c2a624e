// Playback ticks: what a line's stored texts give the note player, and the timeline
// that keeps the lines on their ideal onsets while the timer fires late.
#include "playback/lines.h"
#include "playback/timeline.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

constexpr qint64 kMs = 1'000'000;

struct SoundCase {
  const char16_t* pit;
  const char16_t* vel;
  qint64 key;
  qint64 velocity;
  bool sounds;
};

TEST(SoundOf, ReadsKeyAndVelocityAsHexAndSilencesWhatCannotSound) {
  const SoundCase cases[] = {
      {u"3C", u"55", 60, 116, true},    // the default note line
      {u"3c", u"7f", 60, 127, true},    // either case; the velocity is capped
      {u"3C", u"00", 60, 50, false},    // velocity value 0: a silent note-on
      {u"01", u"", 1, 50, false},       // a rest line, or an empty field
      {u"90", u"01", 144, 50, false},   // a key beyond 127 is never sent
      {u"", u"", 0, 50, false},         // an empty line
      {u"7F", u"01", 127, 50, true},
  };
  for (const SoundCase& c : cases) {
    const playback::Sound s = playback::SoundOf(c.pit, c.vel, 7);
    SCOPED_TRACE(QString::fromUtf16(c.pit).toStdString() + " " + QString::fromUtf16(c.vel).toStdString());
    EXPECT_EQ(s.key, c.key);
    EXPECT_EQ(s.velocity, c.velocity);
    EXPECT_EQ(s.sounds, c.sounds);
  }
}

TEST(Timeline, OnTimeTicksAskForEachLinesOwnPeriod) {
  playback::Timeline t;
  qint64 now = 5 * kMs;
  EXPECT_EQ(t.Start(now, 408), 408);
  for (qint64 period : {120, 0, 7, 480}) {
    now = t.DueNs();
    EXPECT_EQ(t.Tick(now, period), period);
    EXPECT_EQ(t.LatenessNs(), 0);
  }
}

TEST(Timeline, LatenessIsTakenFromTheNextWaitSoItNeverPilesUp) {
  // A timer that always fires 0.4 to 3 ms late, over 1000 lines of mixed lengths.
  std::mt19937 random(7);
  std::uniform_int_distribution<qint64> late(400'000, 3 * kMs);
  std::uniform_int_distribution<qint64> length(10, 300);
  playback::Timeline t;
  qint64 now = 0;
  qint64 ideal = 0;
  qint64 period = length(random);
  qint64 wait = t.Start(now, period);
  for (int line = 1; line < 1000; ++line) {
    ideal += period * kMs;
    now += wait * kMs + late(random);
    // Off by this tick's own lateness and the rounding to whole milliseconds only.
    ASSERT_LE(now - ideal, 3 * kMs) << "line " << line;
    ASSERT_GE(now - ideal, -kMs) << "line " << line;
    period = length(random);
    wait = t.Tick(now, period);
    EXPECT_GE(wait, 0);
  }
}

TEST(Timeline, WaitsRoundDownToWholeMillisecondsAndNeverGoNegative) {
  playback::Timeline t;
  t.Start(0, 100);
  EXPECT_EQ(t.Tick(100 * kMs + 100'000, 10), 9);   // 9.9 ms left
  EXPECT_EQ(t.Tick(110 * kMs + 600'000, 10), 9);   // 9.4 ms left
  EXPECT_EQ(t.Tick(120 * kMs + 5 * kMs, 2), 0);    // 3 ms behind a 2 ms line
  EXPECT_EQ(t.LatenessNs(), 5 * kMs);
  EXPECT_EQ(t.Tick(125 * kMs, 20), 17);            // caught up on the next line
}

TEST(Timeline, ATickFarOffTheTimelineStartsItAgain) {
  playback::Timeline t;
  t.Start(0, 100);
  // A stall of 400 ms: the next line keeps its whole length.
  EXPECT_EQ(t.Tick(500 * kMs, 100), 100);
  EXPECT_EQ(t.DueNs(), 600 * kMs);
  // A tick 90 ms before its time (not one the timer sent) counts from itself too.
  EXPECT_EQ(t.Tick(510 * kMs, 100), 100);
  EXPECT_EQ(t.DueNs(), 610 * kMs);
}

TEST(Timeline, PeriodsAreKeptWithinWhatATimerCanWaitFor) {
  playback::Timeline t;
  EXPECT_EQ(t.Start(0, -5), 0);
  EXPECT_EQ(t.Tick(0, qint64(1) << 60), std::numeric_limits<int>::max());
}

}  // namespace
