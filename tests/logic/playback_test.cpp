// Playback: the field-count table, the parsed lines, the highlight scan and the timeline.
#include "playback/highlight.h"
#include "playback/lines.h"
#include "playback/timeline.h"
#include "track/noteline.h"
#include "pieces.h"

#include <gtest/gtest.h>

#include <limits>
#include <iterator>
#include <random>
#include <tuple>
#include <vector>

namespace {

// Each row: the line without its CR, then the key, velocity and sounding-time texts.
// The field count is one more than the blanks; a line without its closing blank (the
// rest line) is read as if it had one.
TEST(FieldCountTable, PicksKeyVelocityAndSoundingTime) {
  const char* rows[][4] = {
      {"3C 55 66 3C 00 12 ", "3C", "55", "66"},                       // 7
      {"3C 55 83 18 3C 00 48 ", "3C", "55", "83 18"},                 // 8
      {"90 3C 55 66 90 3C 00 12 ", "3C", "55", "66"},                 // 9, "90"
      {"3C 55 83 18 3C 00 81 10 ", "3C", "55", "83 18"},              // 9, other
      {"90 3C 55 83 18 90 3C 00 48 ", "3C", "55", "83 18"},           // 10
      {"90 3C 55 8C 60 90 3C 00 82 20 ", "3C", "55", "8C 60"},        // 11
      {"A B C D E F G H I J K L ", "A", "B", "C"},                    // 13
      {"90 B C D E F G H I J K L M ", "B", "C", "D"},                 // 14, "90"
      {"A B C D E F G H I J K L M ", "A", "B", "83 60"},              // 14, other
      {"A B C D E F G H I J K L M N ", "B", "C", "83 60"},            // 15
      {"90 3C 55 ", "3C", "55", "83 60"},                             // other, "90"
      {"00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ", "00", "01", "83 60"},  // 17
      {"", "", "", "83 60"},                                          // empty line
      {"90  3C", "", "3C", "83 60"},
      {"90 01 00 83 18 90 01 00 48", "01", "00", "83 18"},            // rest: 408, not 3
      {"90 01 00 44 90 01 00 0C", "01", "00", "44"}};                 // key 01, not 90
  for (const auto& [line, pit, vel, dur] : rows) {
    const playback::LineFields f = playback::PickFields(QString::fromLatin1(line));
    EXPECT_EQ(std::tuple(f.pit, f.vel, f.dur), std::tuple(QString(pit), QString(vel), QString(dur))) << line;
  }
}

// Rests, velocity 0 and keys beyond 127 send nothing but still take their whole time.
TEST(ParseLines, SilentLinesKeepTheirTime) {
  struct Silent {
    QString line;
    qint64 key, ticks;
  };
  const Silent cases[] = {
      {track::RestLine(u"83 18"_qs, u"48"_qs), 1, 408},      {track::RestLine(u"82 65"_qs, u"3F"_qs), 1, 357},
      {track::RestLine(u"44"_qs, u"0C"_qs), 1, 68},          {track::RestLine(u"8C 60"_qs, u"82 20"_qs), 1, 1632},
      {u"90 3C 00 83 18 90 3C 00 48 \r"_qs, 60, 408},        {u"90 80 55 83 18 90 80 00 48 \r"_qs, 128, 408},
      {u"FFFFFFFFFFFFFFFFFFFF 55 66 \r"_qs, std::numeric_limits<qint64>::max(), 480}};
  QString text;
  for (const Silent& c : cases) text += c.line;
  const QVector<playback::Line> lines = playback::ParseLines(text, 7);
  ASSERT_EQ(lines.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(std::tuple(lines[i].sound.key, lines[i].sound.sounds, lines[i].ticks), std::tuple(cases[i].key, false, cases[i].ticks)) << i;
  }
}

TEST(ParseLines, EveryCrEndsALineAndTheTailIsNoLine) {
  const QVector<playback::Line> lines = playback::ParseLines(u"\r\r90 3C 55 \r90 3E"_qs, 7);
  ASSERT_EQ(lines.size(), 3);
  // The empty line: key 0, velocity value 0, the default length.
  EXPECT_EQ(std::tuple(lines[0].end, lines[1].end, lines[2].end, lines[0].sound.sounds, lines[0].ticks, lines[2].sound.sounds),
            std::tuple(1, 2, 12, false, 480, true));
  EXPECT_TRUE(playback::ParseLines(u"90 3C 55 83 18\n"_qs, 7).isEmpty());
}

// A text read in pieces cut anywhere (inside a line, at its CR, right after it)
// gives the lines of the whole string, and a start stores their texts.
TEST(ParseLines, PiecesCutAnywhereGiveTheLinesOfTheWholeText) {
  std::mt19937 random(17);
  const QString parts[] = {u"90 3C 55 83 18 90 3C 00 48 \r"_qs, u"3C 55 66 3C 00 12 \r"_qs, u"\r"_qs, u"90 "_qs,
                           u"\u3042 "_qs, u"A B C D E F G H I J K L M N \r"_qs, u"7F"_qs};
  for (int round = 0; round < 300; ++round) {
    QString text;
    for (int i = static_cast<int>(random() % 12); i > 0; --i) text += parts[random() % std::size(parts)];
    const track::TrackText pieces = InPieces(text, RandomEnds(text.size(), 9, random), round % 2 == 0);
    const QVector<playback::Line> whole = playback::ParseLines(text, 7);
    const QVector<playback::Line> read = playback::ParseLines(pieces, 7);
    ASSERT_EQ(read.size(), whole.size()) << text.toStdString();
    track::EditorState state;
    playback::StoreLines(pieces, state);
    ASSERT_EQ(state.noteCount, whole.size());
    ASSERT_EQ(state.note.size(), whole.size());
    for (qsizetype i = 0; i < whole.size(); ++i) {
      ASSERT_EQ(std::tuple(read[i].text, read[i].end, read[i].ticks), std::tuple(whole[i].text, whole[i].end, whole[i].ticks))
          << text.toStdString();
      ASSERT_EQ(std::tuple(state.note[i], state.pit[i], state.vel[i], state.dur[i]),
                std::tuple(whole[i].text, whole[i].pit, whole[i].vel, whole[i].dur));
    }
  }
}

// Each row: the text, the offset scanned from and selL before; then whether a CR was
// found, the selection shown and selL after. Every row holds for the whole-text scan
// and for the scan of the probes' reach alone, which playback uses.
TEST(HighlightScan, FindsTheLineWithinOneThousandAndOneProbesOrKeepsSelL) {
  const QString lines = u"AB\rCDE\rF"_qs, longLine = u"ab\rcd\r"_qs + QString(1500, u'x') + u"\rtail"_qs;
  const struct {
    QString text;
    qint64 s, selL;
    bool found;
    qint64 selStart, selLength, selLAfter;
  } rows[] = {
      {lines, 0, 0, true, 0, 3, 3},
      {lines, 3, 3, true, 3, 4, 7},
      {lines, 7, 7, false, 8, 0, 7},  // the tail: the probe at s + 1000 ends at the text's end
      {QString(), 28, 28, false, 0, 0, 28},  // a text cleared while playing
      {QString(1000, u'A') + u'\r', 0, 0, true, 0, 1001, 1001},
      {QString(1001, u'A') + u'\r', 0, 5, false, 1000, 1, 5},
      {longLine, 6, 77, false, 1006, 1, 77},
      {longLine, 507, 77, true, 507, 1000, 1507},
      {longLine, 1506, 77, true, 1506, 1, 1507},
      {longLine, 5000, 77, false, longLine.size(), 0, 77},
  };
  for (const auto& r : rows) {
    const playback::Highlight whole = playback::HighlightScan(r.text, r.s, r.selL);
    const playback::Highlight reach =
        playback::HighlightInReach(r.text.mid(r.s, playback::kHighlightProbes), r.s, r.selL);
    for (const auto& [scan, h] : {std::pair{"whole text", whole}, std::pair{"reach", reach}}) {
      SCOPED_TRACE(std::string(scan) + " from " + std::to_string(r.s));
      // The text area clamps the selection's start.
      EXPECT_EQ(std::tuple(h.found, qMin<qint64>(h.selStart, r.text.size()), h.selLength, h.selL),
                std::tuple(r.found, r.selStart, r.selLength, r.selLAfter));
    }
  }
}

constexpr qint64 kMs = 1'000'000;

// Each row: a start (or a tick) at a moment in ns with the line's period in ms, and
// the wait asked of the timer. A tick's lateness is taken from the next wait, so that
// it never piles up; a tick more than 50 ms off the timeline starts it again.
TEST(Timeline, WaitsRunToEachLinesIdealEnd) {
  const struct {
    bool start;
    qint64 nowNs, periodMs, waitMs;
  } rows[] = {
      {true, 0, 100, 100},
      {false, 100 * kMs + 100'000, 10, 9},  // 9.9 ms left: whole milliseconds, rounded down
      {false, 110 * kMs + 600'000, 10, 9},
      {false, 125 * kMs, 2, 0},             // 3 ms behind a 2 ms line: never negative
      {false, 125 * kMs, 20, 17},           // caught up on the next line
      {false, 500 * kMs, 100, 100},         // a stall of 358 ms: the line keeps its length
      {false, 510 * kMs, 100, 100},         // 90 ms early, a tick no timer sent
      {false, 610 * kMs, qint64(1) << 60, std::numeric_limits<int>::max()},
      {true, 0, -5, 0},
      {true, 0, 0, 0},
  };
  playback::Timeline t;
  for (const auto& r : rows)
    EXPECT_EQ(r.start ? t.Start(r.nowNs, r.periodMs) : t.Tick(r.nowNs, r.periodMs), r.waitMs) << r.nowNs;
}

}  // namespace
