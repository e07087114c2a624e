// The note-entry tables, the instrument list and the keyboard's hit-testing.
#include "entry/buttontables.h"
#include "entry/instruments.h"
#include "entry/keyboard.h"
#include "track/deltatime.h"

#include <gtest/gtest.h>

namespace {

struct ButtonRow {
  int index;
  const char* vv;
  const char* gate;
  const char* gap;
  qint64 step;
};

class NoteEntryButtons : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(NoteEntryButtons, StoreTheirFieldsWhole) {
  const ButtonRow& r = GetParam();
  EXPECT_EQ(entry::VelocityField(r.index), r.vv);
  EXPECT_EQ(entry::GateField(r.index), r.gate);
  EXPECT_EQ(entry::GapField(r.index), r.gap);
}

TEST_P(NoteEntryButtons, GatePlusGapIsTheWholeStepAndTheGateIs85Percent) {
  const ButtonRow& r = GetParam();
  const qint64 gate = track::VaToDu(entry::GateField(r.index));
  const qint64 gap = track::VaToDu(entry::GapField(r.index));
  EXPECT_EQ(gate + gap, r.step);
  EXPECT_NEAR(static_cast<double>(gate), r.step * 0.85, 0.5);
  EXPECT_EQ(track::ConvDur(entry::GateField(r.index)), r.step);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoteEntryButtons,
    ::testing::Values(ButtonRow{0, "00", "8C 60", "82 20", 1920}, ButtonRow{1, "05", "89 48", "81 58", 1440},
                      ButtonRow{2, "0A", "86 30", "81 10", 960}, ButtonRow{3, "14", "84 64", "6C", 720},
                      ButtonRow{4, "1E", "83 18", "48", 480}, ButtonRow{5, "28", "82 65", "3F", 420},
                      ButtonRow{6, "32", "82 32", "36", 360}, ButtonRow{7, "3C", "82 10", "30", 320},
                      ButtonRow{8, "46", "81 4C", "24", 240}, ButtonRow{9, "4B", "81 19", "1B", 180},
                      ButtonRow{10, "55", "81 08", "18", 160}, ButtonRow{11, "5A", "66", "12", 120},
                      ButtonRow{12, "64", "44", "0C", 80}, ButtonRow{13, "6E", "33", "09", 60},
                      ButtonRow{14, "78", "19", "05", 30}, ButtonRow{15, "7F", "0D", "02", 15}));

TEST(NoteEntryButtons, IndexOutsideTheRowGivesNothing) {
  EXPECT_EQ(entry::VelocityField(16), "");
  EXPECT_EQ(entry::GateField(-1), "");
}

TEST(Instruments, HeadingAndOneRowPerProgram) {
  const QStringList rows = entry::InstrumentRows();
  ASSERT_EQ(rows.size(), 129);
  EXPECT_EQ(rows[0], QStringLiteral("楽器選択"));
  EXPECT_EQ(rows[1], QStringLiteral("00：Acoustic Grand Piano( Piano )"));
  EXPECT_EQ(rows[122], QStringLiteral("79：Breath Noise "));
  EXPECT_EQ(rows[128], QStringLiteral("7F：Gunshot"));
  int blankEnded = 0;
  for (int k = 1; k <= 128; ++k) {
    EXPECT_TRUE(rows[k].startsWith(QString::number(k - 1, 16).toUpper().rightJustified(2, u'0') + u'：'))
        << rows[k].toStdString();
    blankEnded += rows[k].endsWith(u' ');
  }
  EXPECT_EQ(blankEnded, 51);
}

TEST(Instruments, RowGivesItsOneBasedInstrumentAndTheHeadingGivesOne) {
  EXPECT_EQ(entry::InstrumentForRow(0), 1);
  EXPECT_EQ(entry::InstrumentForRow(1), 1);
  EXPECT_EQ(entry::InstrumentForRow(16), 16);
  EXPECT_EQ(entry::InstrumentForRow(128), 128);
  EXPECT_EQ(entry::InstrumentForRow(-1), 1);
}

struct Point {
  qint64 x, y;
  bool taken;
  bool pressed;
  int note;
  const char* key;
};

class KeyboardHit : public ::testing::TestWithParam<Point> {};

TEST_P(KeyboardHit, FindsTheKeyUnderThePoint) {
  const Point& p = GetParam();
  const entry::KeyHit hit = entry::HitTest(p.x, p.y);
  EXPECT_EQ(hit.taken, p.taken) << p.x << "," << p.y;
  EXPECT_EQ(hit.pressed, p.pressed) << p.x << "," << p.y;
  if (p.pressed) {
    EXPECT_EQ(hit.note, p.note) << p.x << "," << p.y;
    EXPECT_EQ(hit.keyText, p.key) << p.x << "," << p.y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Points, KeyboardHit,
    ::testing::Values(
        Point{3, 29, true, true, 41, "29"}, Point{15, 52, true, true, 41, "29"},
        Point{2, 29, true, false, 0, ""}, Point{16, 29, true, false, 0, ""}, Point{3, 53, true, false, 0, ""},
        Point{11, 28, true, true, 42, "2A"}, Point{20, 3, true, true, 42, "2A"}, Point{11, 29, true, true, 41, "29"},
        Point{11, 2, true, false, 0, ""}, Point{21, 10, true, false, 0, ""},
        Point{55, 10, false, false, 0, ""}, Point{50, 10, true, false, 0, ""},
        Point{390, 10, false, false, 0, ""}, Point{390, 40, true, true, 88, "58"},
        Point{157, 40, true, true, 60, "3C"}, Point{170, 40, true, false, 0, ""},
        Point{165, 20, true, true, 61, "3D"}, Point{367, 30, true, true, 86, "56"},
        Point{384, 28, true, true, 87, "57"}, Point{381, 46, true, true, 88, "58"},
        Point{394, 40, true, false, 0, ""}, Point{-5, 40, true, false, 0, ""}, Point{100, 0, true, false, 0, ""}));

TEST(Keyboard, PressedWhiteKeyCopiesItsFullHeightColumn) {
  const entry::KeyHit hit = entry::HitTest(160, 40);  // white key 11, middle C
  EXPECT_FALSE(hit.black);
  EXPECT_EQ(hit.position, 11);
  EXPECT_EQ(hit.source, QRect(156, 0, 14, 47));
  EXPECT_EQ(hit.destination, hit.source);
}

TEST(Keyboard, PressedBlackKeyCopiesTheTopTwentyFive) {
  const entry::KeyHit hit = entry::HitTest(170, 10);  // black position 11, C sharp
  EXPECT_TRUE(hit.black);
  EXPECT_EQ(hit.note, 61);
  EXPECT_EQ(hit.source, QRect(164, 0, 14, 25));
  EXPECT_EQ(hit.destination, hit.source);
}

TEST(Keyboard, HasTwentyEightWhiteAndTwentyBlackKeys) {
  int black = 0;
  for (int i = 0; i < entry::kWhiteKeys; ++i) {
    EXPECT_EQ(entry::WhiteKeyNote(i) >= 41 && entry::WhiteKeyNote(i) <= 88, true);
    black += entry::BlackKeyNote(i) != 127;
  }
  EXPECT_EQ(black, 20);
  EXPECT_EQ(entry::BlackKeyNote(27), 127);
}

}  // namespace
