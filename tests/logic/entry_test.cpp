// The keyboard's hit-testing (the instrument list's rows are the window's entry tests).
#include "entry/keyboard.h"

#include <gtest/gtest.h>

namespace {

struct Point { qint64 x, y; bool taken, pressed; int note; const char* key; };

// Each key's edges, the gaps between keys (taken or not) and the ends of the keyboard.
TEST(KeyboardHit, FindsTheKeyUnderThePoint) {
  const Point points[] = {
      {3, 29, true, true, 41, "29"},   {15, 52, true, true, 41, "29"}, {2, 29, true, false, 0, ""},
      {16, 29, true, false, 0, ""},    {3, 53, true, false, 0, ""},    {11, 28, true, true, 42, "2A"},
      {20, 3, true, true, 42, "2A"},   {11, 29, true, true, 41, "29"}, {11, 2, true, false, 0, ""},
      {21, 10, true, false, 0, ""},    {55, 10, false, false, 0, ""},  {50, 10, true, false, 0, ""},
      {390, 10, false, false, 0, ""},  {390, 40, true, true, 88, "58"}, {157, 40, true, true, 60, "3C"},
      {170, 40, true, false, 0, ""},   {165, 20, true, true, 61, "3D"}, {384, 28, true, true, 87, "57"},
      {394, 40, true, false, 0, ""},   {-5, 40, true, false, 0, ""},   {100, 0, true, false, 0, ""}};
  for (const Point& p : points) {
    const entry::KeyHit hit = entry::HitTest(p.x, p.y);
    EXPECT_EQ(std::pair(hit.taken, hit.pressed), std::pair(p.taken, p.pressed)) << p.x << "," << p.y;
    if (p.pressed) {
      EXPECT_EQ(std::pair(hit.note, hit.keyText), std::pair(p.note, QString::fromLatin1(p.key))) << p.x << "," << p.y;
    }
  }
}

}  // namespace
