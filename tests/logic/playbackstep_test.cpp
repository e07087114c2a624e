// Playback stepping: what a start and each tick end, start and wait for, and the
// highlight found from the probes' reach alone.
#include "playback/highlight.h"
#include "playback/lines.h"
#include "playback/stepper.h"

#include <gtest/gtest.h>

namespace {

track::EditorState Parsed(const QString& text) {
  track::EditorState state;
  SetOpenTimeValues(state);
  state.d = 2.0;
  playback::StoreLines(track::TrackText::Of(text), state);
  return state;
}

TEST(PlaybackStep, EachTickEndsTheSoundingLineAndStartsTheNextUntilTheLast) {
  // Keys 3C, 3E and a silent 40 (velocity 00); sounding times 408, 96 and 480 ticks.
  track::EditorState state = Parsed(QStringLiteral(
      "3C 55 83 18 3C 00 48 \r3E 55 60 3E 00 12 \r90 40 00 \rtail without CR"));
  const playback::Step start = playback::StartStep(state);
  EXPECT_FALSE(start.ends);
  EXPECT_EQ(start.noteOn.key, 0x3C);
  EXPECT_TRUE(start.noteOn.sounds);
  EXPECT_EQ(start.periodMs, 816);

  struct Tick { qint64 off, on; bool onSounds; qint64 periodMs; bool ends; };
  const Tick ticks[] = {{0x3C, 0x3E, true, 192, false}, {0x3E, 0x40, false, 960, false},
                        {0x40, 0, false, 0, true}};
  for (const Tick& t : ticks) {
    const qint64 before = state.soundNumber;
    const playback::Step step = playback::TickStep(state);
    EXPECT_EQ(step.noteOff.key, t.off) << before;
    EXPECT_EQ(step.noteOn.key, t.on) << before;
    EXPECT_EQ(step.noteOn.sounds, t.onSounds) << before;
    EXPECT_EQ(step.periodMs, t.periodMs) << before;
    EXPECT_EQ(step.ends, t.ends) << before;
    EXPECT_EQ(state.soundNumber, t.ends ? before : before + 1);
  }
}

TEST(PlaybackStep, AStartWithNoLineEndsAtOnceAndLeavesTheState) {
  track::EditorState state = Parsed(QStringLiteral("3C 55 83 18 3C 00 48 "));
  state.soundNumber = 5;
  EXPECT_TRUE(playback::StartStep(state).ends);
  EXPECT_EQ(state.soundNumber, 5);
}

TEST(PlaybackStep, HighlightFromTheReachAgreesWithTheWholeTextScan) {
  const QString text = QStringLiteral("ab\rcd\r") + QString(1500, u'x') + QStringLiteral("\rtail");
  for (qint64 s : {0, 1, 3, 6, 400, 507, 1506, 1507, 1600, 5000}) {
    const QString reach = text.mid(s, playback::kHighlightProbes);
    const playback::Highlight a = playback::HighlightInReach(reach, s, 77);
    const playback::Highlight b = playback::HighlightScan(text, s, 77);
    EXPECT_EQ(a.found, b.found) << s;
    EXPECT_EQ(qMin<qint64>(a.selStart, text.size()), b.selStart) << s;  // the text area clamps
    EXPECT_EQ(a.selLength, b.selLength) << s;
    EXPECT_EQ(a.selL, b.selL) << s;
  }
}

}  // namespace
