// Playback: the field-count table, the parsed lines and the highlight scan.
#include "playback/highlight.h"
#include "playback/lines.h"
#include "track/noteline.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
  const char* line;  // without its CR
  const char* pit;
  const char* vel;
  const char* dur;
};

class FieldCountTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldCountTable, PicksKeyVelocityAndSoundingTime) {
  const playback::LineFields f = playback::PickFields(QString::fromLatin1(GetParam().line));
  EXPECT_EQ(f.pit, GetParam().pit) << GetParam().line;
  EXPECT_EQ(f.vel, GetParam().vel) << GetParam().line;
  EXPECT_EQ(f.dur, GetParam().dur) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Counts, FieldCountTable,
    ::testing::Values(
        FieldCase{"3C 55 66 3C 00 12 ", "3C", "55", "66"},                       // 7
        FieldCase{"3C 55 83 18 3C 00 48 ", "3C", "55", "83 18"},                 // 8
        FieldCase{"90 3C 55 66 90 3C 00 12 ", "3C", "55", "66"},                 // 9, "90"
        FieldCase{"3C 55 83 18 3C 00 81 10 ", "3C", "55", "83 18"},              // 9, other
        FieldCase{"90 3C 55 83 18 90 3C 00 48 ", "3C", "55", "83 18"},           // 10
        FieldCase{"90 3C 55 8C 60 90 3C 00 82 20 ", "3C", "55", "8C 60"},        // 11
        FieldCase{"A B C D E F G H I J K L ", "A", "B", "C"},                    // 13
        FieldCase{"90 B C D E F G H I J K L M ", "B", "C", "D"},                 // 14, "90"
        FieldCase{"A B C D E F G H I J K L M ", "A", "B", "83 60"},              // 14, other
        FieldCase{"A B C D E F G H I J K L M N ", "B", "C", "83 60"},            // 15
        FieldCase{"90 3C 55 ", "3C", "55", "83 60"},                             // other, "90"
        FieldCase{"00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ", "00", "01", "83 60"},  // 17
        FieldCase{"", "", "", "83 60"},                                          // empty line
        FieldCase{"90  3C", "", "3C", "83 60"}));

TEST(FieldCountTable, ALineWithoutTheClosingBlankIsReadAsIfItHadOne) {
  // The rest line of the default state: its whole gate, 408 ticks, not 3.
  const playback::LineFields rest = playback::PickFields(u"90 01 00 83 18 90 01 00 48");
  EXPECT_EQ(rest.pit, "01");
  EXPECT_EQ(rest.vel, "00");
  EXPECT_EQ(rest.dur, "83 18");
  // One-byte gate and gap: key 01, not 90.
  const playback::LineFields shortRest = playback::PickFields(u"90 01 00 44 90 01 00 0C");
  EXPECT_EQ(shortRest.pit, "01");
  EXPECT_EQ(shortRest.dur, "44");
}

TEST(ParseLines, DefaultNoteLineSoundsKey60At116For408Ticks) {
  const QVector<playback::Line> lines = playback::ParseLines(u"90 3C 55 83 18 90 3C 00 48 \r"_qs, 7);
  ASSERT_EQ(lines.size(), 1);
  const playback::Line& l = lines[0];
  EXPECT_EQ(l.text, "90 3C 55 83 18 90 3C 00 48 ");
  EXPECT_EQ(l.pit, "3C");
  EXPECT_EQ(l.sound.key, 60);
  EXPECT_EQ(l.sound.velocityValue, 85);
  EXPECT_EQ(l.sound.velocity, 116);
  EXPECT_EQ(l.ticks, 408);
  EXPECT_TRUE(l.sound.sounds);
  EXPECT_EQ(l.end, 28);
  EXPECT_EQ(playback::PeriodMs(l.ticks, 1.0), 408);
}

TEST(ParseLines, RestLinesAreSilentForTheirWholeGate) {
  const QString text = track::RestLine(u"83 18"_qs, u"48"_qs) + track::RestLine(u"82 65"_qs, u"3F"_qs) +
                       track::RestLine(u"44"_qs, u"0C"_qs) + track::RestLine(u"8C 60"_qs, u"82 20"_qs);
  const QVector<playback::Line> lines = playback::ParseLines(text, 7);
  ASSERT_EQ(lines.size(), 4);
  const qint64 gates[] = {408, 357, 68, 1632};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].sound.key, 1) << i;
    EXPECT_FALSE(lines[i].sound.sounds) << i;
    EXPECT_EQ(lines[i].ticks, gates[i]) << i;
  }
}

TEST(ParseLines, VelocityZeroIsSilentButKeepsItsTime) {
  const QVector<playback::Line> lines = playback::ParseLines(u"90 3C 00 83 18 90 3C 00 48 \r"_qs, 7);
  ASSERT_EQ(lines.size(), 1);
  EXPECT_FALSE(lines[0].sound.sounds);
  EXPECT_EQ(lines[0].ticks, 408);
}

TEST(ParseLines, KeyOutsideTheMidiRangeIsNotSentButKeepsItsTime) {
  const QVector<playback::Line> lines =
      playback::ParseLines(u"90 80 55 83 18 90 80 00 48 \rFFFFFFFFFFFFFFFFFFFF 55 66 \r"_qs, 7);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0].sound.key, 128);
  EXPECT_FALSE(lines[0].sound.sounds);
  EXPECT_EQ(lines[0].ticks, 408);
  EXPECT_FALSE(lines[1].sound.sounds);
  EXPECT_EQ(lines[1].ticks, 480);
}

TEST(ParseLines, EveryCrEndsALineAndTheTailIsNoLine) {
  const QVector<playback::Line> lines = playback::ParseLines(u"\r\r90 3C 55 \r90 3E"_qs, 7);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0].end, 1);
  EXPECT_EQ(lines[1].end, 2);
  EXPECT_EQ(lines[2].end, 12);
  EXPECT_FALSE(lines[0].sound.sounds);  // empty: key 0, velocity value 0
  EXPECT_EQ(lines[0].ticks, 480);
  EXPECT_TRUE(lines[2].sound.sounds);
  EXPECT_TRUE(playback::ParseLines(u"90 3C 55 83 18\n"_qs, 7).isEmpty());
}

TEST(ParseLines, HexDumpRowSoundsItsFirstByteFor480Ticks) {
  const QVector<playback::Line> lines =
      playback::ParseLines(u"30 41 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r"_qs, 7);
  ASSERT_EQ(lines.size(), 1);
  EXPECT_EQ(lines[0].sound.key, 0x30);
  EXPECT_EQ(lines[0].sound.velocity, 50 + 0x41 * 7 / 9);
  EXPECT_EQ(lines[0].ticks, 480);
}

TEST(StoreInState, ReplacesTheArraysWithOneEntryPerLine) {
  track::EditorState state;
  playback::StoreInState(playback::ParseLines(u"90 3C 55 83 18 90 3C 00 48 \r90 01 00 44 90 01 00 0C\r"_qs, 7),
                         state);
  EXPECT_EQ(state.noteCount, 2);
  EXPECT_EQ(state.note, QStringList({"90 3C 55 83 18 90 3C 00 48 ", "90 01 00 44 90 01 00 0C"}));
  EXPECT_EQ(state.pit, QStringList({"3C", "01"}));
  EXPECT_EQ(state.vel, QStringList({"55", "00"}));
  EXPECT_EQ(state.dur, QStringList({"83 18", "44"}));
  playback::StoreInState({}, state);
  EXPECT_EQ(state.noteCount, 0);
  EXPECT_TRUE(state.dur.isEmpty());
}

TEST(PeriodMs, TruncatesTicksTimesD) {
  EXPECT_EQ(playback::PeriodMs(408, 1.0), 408);
  EXPECT_EQ(playback::PeriodMs(3, 0.5), 1);
  EXPECT_EQ(playback::PeriodMs(0, 1.0), 0);
  EXPECT_EQ(playback::PeriodMs(10, -1.0), 0);
}

TEST(HighlightScan, SelectsTheLineWithItsCrAndMovesOn) {
  const QString text = u"AB\rCDE\rF"_qs;
  playback::Highlight h = playback::HighlightScan(text, 0, 0);
  EXPECT_TRUE(h.found);
  EXPECT_EQ(h.selStart, 0);
  EXPECT_EQ(h.selLength, 3);
  EXPECT_EQ(h.selL, 3);
  h = playback::HighlightScan(text, h.selL, h.selL);
  EXPECT_EQ(h.selStart, 3);
  EXPECT_EQ(h.selLength, 4);
  EXPECT_EQ(h.selL, 7);
}

TEST(HighlightScan, WithoutACrKeepsSelLAndLeavesTheClampedProbe) {
  const playback::Highlight tail = playback::HighlightScan(u"AB\rCDE\rF"_qs, 7, 7);
  EXPECT_FALSE(tail.found);
  EXPECT_EQ(tail.selL, 7);
  EXPECT_EQ(tail.selStart, 8);
  EXPECT_EQ(tail.selLength, 0);
  const playback::Highlight cleared = playback::HighlightScan(QString(), 28, 28);
  EXPECT_FALSE(cleared.found);
  EXPECT_EQ(cleared.selL, 28);
  EXPECT_EQ(cleared.selStart, 0);
}

TEST(HighlightScan, ProbesAtMostOneThousandAndOneCharacters) {
  const QString reached = QString(1000, u'A') + u'\r';
  const playback::Highlight h = playback::HighlightScan(reached, 0, 0);
  EXPECT_TRUE(h.found);
  EXPECT_EQ(h.selLength, 1001);
  const QString tooLong = QString(1001, u'A') + u'\r';
  const playback::Highlight g = playback::HighlightScan(tooLong, 0, 5);
  EXPECT_FALSE(g.found);
  EXPECT_EQ(g.selStart, 1000);
  EXPECT_EQ(g.selLength, 1);
  EXPECT_EQ(g.selL, 5);
}

}  // namespace
