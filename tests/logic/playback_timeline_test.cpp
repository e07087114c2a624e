// The playback timeline: lines kept on their ideal onsets while the timer fires late.
#include "playback/timeline.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

constexpr qint64 kMs = 1'000'000;

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
