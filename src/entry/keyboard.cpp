// Hit-testing the drawn keyboard.
#include "entry/keyboard.h"

#include "framework/text/numbers.h"
#include "framework/text/strings.h"

namespace entry {

namespace {

constexpr int kGap = 127;

int NoteField(const char* list, int position) {
  if (position < 0 || position >= kWhiteKeys) return kGap;
  const QString field = textfn::NthField(QString::fromLatin1(list), QStringLiteral(","), position + 1);
  // Position 27 has no field: an empty text, and so a gap.
  if (field.isEmpty()) return kGap;
  return static_cast<int>(textfn::ToInteger(textfn::Val(field)));
}

KeyHit Pressed(bool black, int position, int note) {
  KeyHit hit;
  hit.pressed = true;
  hit.black = black;
  hit.position = position;
  hit.note = note;
  hit.keyText = textfn::Hex(note);
  const int left = kKeyPitch * position + (black ? 10 : 2);
  hit.source = QRect(left, 0, kKeyPitch, black ? 25 : 47);
  hit.destination = hit.source;
  return hit;
}

}  // namespace

int WhiteKeyNote(int position) { return NoteField(WhiteKeyNotes, position); }
int BlackKeyNote(int position) { return NoteField(BlackKeyNotes, position); }

KeyHit HitTest(qint64 x, qint64 y) {
  if (28 < y && y < 53) {
    for (int i = 0; i < kWhiteKeys; ++i)
      if (kKeyPitch * i + 2 < x && x < kKeyPitch * i + 16) return Pressed(false, i, WhiteKeyNote(i));
  }
  if (2 < y && y < 29) {
    for (int i = 0; i < kWhiteKeys; ++i) {
      if (kKeyPitch * i + 10 < x && x < kKeyPitch * i + 21) {
        const int note = BlackKeyNote(i);
        if (note == kGap) {
          KeyHit gap;
          gap.taken = false;
          gap.position = i;
          return gap;
        }
        return Pressed(true, i, note);
      }
    }
  }
  return {};
}

}  // namespace entry
