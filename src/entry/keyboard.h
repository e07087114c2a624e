// The drawn keyboard: which key a point of the canvas hits and the rectangles of a
// pressed key.
#pragma once

#include <QRect>
#include <QString>

namespace entry {

// Decimal MIDI notes; field i + 1 is white key i, or black-key position i (127 a gap).
inline constexpr char WhiteKeyNotes[] =
    "41,43,45,47,48,50,52,53,55,57,59,60,62,64,65,67,69,71,72,74,76,77,79,81,83,84,86,88";
inline constexpr char BlackKeyNotes[] =
    "42,44,46,127,49,51,127,54,56,58,127,61,63,127,66,68,70,127,73,75,127,78,80,82,127,85,87";

inline constexpr int kWhiteKeys = 28;
inline constexpr int kKeyPitch = 14;
inline constexpr int kCanvasWidth = 395;
inline constexpr int kCanvasHeight = 47;

struct KeyHit {
  bool taken = true;    // the mouse-down's result: false only on a black-key gap
  bool pressed = false; // a key was hit: draw, sound and insert
  bool black = false;   // the source picture: PianoSS for black keys, else PianoS
  int position = -1;    // white key i or black-key position i
  int note = 0;         // MIDI note
  QString keyText;      // the note as upper-case hex, for the note line
  QRect source;         // the pressed key's rectangle in the source picture
  QRect destination;    // the same place in the keyboard picture
};

// The white row (28 < y < 53) is tried first, then the black row (2 < y < 29).
// Every comparison is strict.
KeyHit HitTest(qint64 x, qint64 y);

// The note of white key i or black-key position i (127 for a gap or outside 0 to 27).
int WhiteKeyNote(int position);
int BlackKeyNote(int position);

}  // namespace entry
