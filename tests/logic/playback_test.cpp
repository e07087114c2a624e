// Playback: the field-count table, the parsed lines, the highlight scan and the timeline.
#include "playback/highlight.h"
#include "playback/lines.h"
#include "playback/timeline.h"
#include "track/noteline.h"

#include <gtest/gtest.h>

#include <limits>
#include <iterator>
#include <random>
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
    EXPECT_EQ(f.pit, pit) << line;
    EXPECT_EQ(f.vel, vel) << line;
    EXPECT_EQ(f.dur, dur) << line;
  }
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
    EXPECT_EQ(lines[i].sound.key, cases[i].key) << i;
    EXPECT_FALSE(lines[i].sound.sounds) << i;
    EXPECT_EQ(lines[i].ticks, cases[i].ticks) << i;
  }
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

// A text read in pieces cut anywhere (inside a line, at its CR, right after it)
// gives the lines of the whole string, and a start stores their texts.
TEST(ParseLines, PiecesCutAnywhereGiveTheLinesOfTheWholeText) {
  std::mt19937 random(17);
  const QString parts[] = {u"90 3C 55 83 18 90 3C 00 48 \r"_qs, u"3C 55 66 3C 00 12 \r"_qs, u"\r"_qs, u"90 "_qs,
                           u"\u3042 "_qs, u"A B C D E F G H I J K L M N \r"_qs, u"7F"_qs};
  for (int round = 0; round < 300; ++round) {
    QString text;
    for (int i = static_cast<int>(random() % 12); i > 0; --i) text += parts[random() % std::size(parts)];
    std::vector<qsizetype> cuts{0};
    while (cuts.back() < text.size()) cuts.push_back(cuts.back() + 1 + static_cast<qsizetype>(random() % 9));
    cuts.back() = text.size();
    const bool latin1 = round % 2 == 0;
    const track::TrackText pieces{text.size(), [&](const track::TrackText::Reader& read) {
                                    for (size_t i = 1; i < cuts.size(); ++i) {
                                      const QStringView piece = QStringView(text).sliced(cuts[i - 1], cuts[i] - cuts[i - 1]);
                                      const QByteArray narrow = piece.toLatin1();
                                      if (latin1 && QString::fromLatin1(narrow) == piece)
                                        read(QLatin1StringView(narrow));
                                      else
                                        read(piece);
                                    }
                                  }};
    const QVector<playback::Line> whole = playback::ParseLines(text, 7);
    const QVector<playback::Line> read = playback::ParseLines(pieces, 7);
    ASSERT_EQ(read.size(), whole.size()) << text.toStdString();
    track::EditorState state;
    playback::StoreLines(pieces, state);
    ASSERT_EQ(state.noteCount, whole.size());
    ASSERT_EQ(state.note.size(), whole.size());
    for (qsizetype i = 0; i < whole.size(); ++i) {
      ASSERT_EQ(read[i].text, whole[i].text) << text.toStdString();
      ASSERT_EQ(read[i].end, whole[i].end) << text.toStdString();
      ASSERT_EQ(read[i].ticks, whole[i].ticks);
      ASSERT_EQ(state.note[i], whole[i].text);
      ASSERT_EQ(state.pit[i], whole[i].pit);
      ASSERT_EQ(state.vel[i], whole[i].vel);
      ASSERT_EQ(state.dur[i], whole[i].dur);
    }
  }
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
  const playback::Highlight h = playback::HighlightScan(QString(1000, u'A') + u'\r', 0, 0);
  EXPECT_TRUE(h.found);
  EXPECT_EQ(h.selLength, 1001);
  const playback::Highlight g = playback::HighlightScan(QString(1001, u'A') + u'\r', 0, 5);
  EXPECT_FALSE(g.found);
  EXPECT_EQ(g.selStart, 1000);
  EXPECT_EQ(g.selLength, 1);
  EXPECT_EQ(g.selL, 5);
}

constexpr qint64 kMs = 1'000'000;

TEST(Timeline, LatenessIsTakenFromTheNextWaitSoItNeverPilesUp) {
  // A timer that always fires 0.4 to 3 ms late, over 1000 lines of mixed lengths.
  std::mt19937 random(7);
  std::uniform_int_distribution<qint64> late(400'000, 3 * kMs);
  std::uniform_int_distribution<qint64> length(10, 300);
  playback::Timeline t;
  qint64 now = 0, ideal = 0, period = length(random), wait = t.Start(now, period);
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
