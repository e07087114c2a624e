// The keyboard's hit-testing (the instrument list's rows are the window's entry tests).
#include "entry/keyboard.h"

#include <gtest/gtest.h>

namespace {

struct Point { qint64 x, y; bool taken, pressed; int note; const char* key; };

class KeyboardHit : public ::testing::TestWithParam<Point> {};

TEST_P(KeyboardHit, FindsTheKeyUnderThePoint) {
  const Point& p = GetParam();
  const entry::KeyHit hit = entry::HitTest(p.x, p.y);
  EXPECT_EQ(std::pair(hit.taken, hit.pressed), std::pair(p.taken, p.pressed)) << p.x << "," << p.y;
  if (p.pressed) {
    EXPECT_EQ(std::pair(hit.note, hit.keyText), std::pair(p.note, QString::fromLatin1(p.key))) << p.x << "," << p.y;
  }
}

// Each key's edges, the gaps between keys (taken or not) and the ends of the keyboard.
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
        Point{165, 20, true, true, 61, "3D"}, Point{384, 28, true, true, 87, "57"},
        Point{394, 40, true, false, 0, ""}, Point{-5, 40, true, false, 0, ""}, Point{100, 0, true, false, 0, ""}));

}  // namespace
