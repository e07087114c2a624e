// The writers on a dump held as the hex column holds it: stretches of its hex text
// handed over unbuilt between typed pieces. Whatever the edits, the bytes are those
// the whole text spells when built and read as one string; the unedited stretches
// cost no bytes of their own.
#include "track/dumprows.h"
#include "track/midifile.h"
#include "track/rawfile.h"
#include "pieces.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace {

using Rows = std::shared_ptr<const textfn::RowText>;

// A stretch [from, from + n) of a computed text, or a typed piece.
struct Slice {
  Rows rows;
  qsizetype from, n;
};
using Span = std::variant<Slice, QString>;

// The text as the window hands it over, the stretches unbuilt, and the whole text
// built: the reference the writers are held to.
track::TrackText Held(const std::vector<Span>& spans) {
  return {0, {}, [spans](const track::TrackText::Reader& read, const track::TrackText::RowsReader& rows) {
            for (const Span& s : spans) {
              if (const Slice* slice = std::get_if<Slice>(&s))
                rows(slice->rows, slice->from, slice->n);
              else
                read(QStringView(std::get<QString>(s)));
            }
          }};
}

QString Whole(const std::vector<Span>& spans) {
  QString all;
  for (const Span& s : spans) {
    const Slice* slice = std::get_if<Slice>(&s);
    all += slice ? QString::fromLatin1(slice->rows->toLatin1().mid(slice->from, slice->n)) : std::get<QString>(s);
  }
  return all;
}

// The parts as the window writes them: block by block.
QByteArray Written(const track::ByteParts& parts) {
  QByteArray out;
  parts.write([&out](const char* data, qsizetype n) {
    EXPECT_LE(n, track::ByteParts::kBlock);
    out.append(data, n);
  });
  return out;
}

// Random files cut into stretches anywhere (inside a pair, on a blank or a CR, at
// row ends), some dropped, some taken twice or out of order, typed pieces between
// them (odd digits among them, so that what follows is read half a byte on, blanks,
// CRs, non-digits, wide characters and halves of surrogate pairs), and stretches of
// the address and character texts too: the raw and MIDI files are those of the
// whole text.
TEST(DumpWriters, StretchesOfTheDumpAmongTypedPiecesGiveTheBytesOfTheWholeText) {
  std::mt19937 random(17);
  const QString typed[] = {"7", "90", "3C5", " ", "\r", "A\r", "G", "\u00e9", "\u3042", "\U0001F600",
                           QString(QChar(0xD83D)), "f 0", "12 34 \r"};
  for (int round = 0; round < 300; ++round) {
    const qsizetype size = qsizetype(random() % 200);
    const track::DumpTexts dump = track::DumpRows(RandomBytes(size, random));
    const Rows texts[] = {dump.hex, dump.hex, dump.hex, dump.hex, dump.address, dump.characters};
    std::vector<Span> spans;
    for (int i = static_cast<int>(random() % 8); i >= 0; --i) {
      if (random() % 3 == 0) {
        spans.push_back(typed[random() % std::size(typed)]);
        continue;
      }
      const Rows& rows = texts[random() % std::size(texts)];
      if (rows->size() == 0) continue;
      const qsizetype from = qsizetype(random() % rows->size());
      const qsizetype n = 1 + qsizetype(random() % (rows->size() - from));
      // Now and then in two stretches that meet, as the engine cuts a long one.
      const qsizetype cut = random() % 4 == 0 ? qsizetype(random() % n) : 0;
      if (cut > 0) spans.push_back(Slice{rows, from, cut});
      spans.push_back(Slice{rows, from + cut, n - cut});
    }
    const track::TrackText held = Held(spans);
    const QString whole = Whole(spans);
    const QByteArray expected = track::RawFileBytes(whole);
    const track::ByteParts raw = track::RawFileParts(held), midi = track::MidiFileParts(held);
    ASSERT_EQ(std::tuple(Written(raw).toHex(' '), raw.size(), Written(midi).toHex(' ')),
              std::tuple(expected.toHex(' '), expected.size(), track::MidiFileBytes(whole).toHex(' ')))
        << whole.toStdString();
    ASSERT_EQ(std::pair(track::RawFileBytes(held), track::MidiFileBytes(held)), std::pair(Written(raw), Written(midi)));
  }
}

// A dump of several blocks' worth with an odd digit typed near its start and rows
// replaced in its middle: the files are those of the whole text, block boundaries
// and all, and hold of their own only the few bytes around the edits.
TEST(DumpWriters, ALargeDumpWithEditsIsWrittenFromItsFilesBytes) {
  std::mt19937 random(4);
  const qsizetype size = 3 * track::ByteParts::kBlock + 5;
  const QByteArray bytes = RandomBytes(size, random);
  const Rows hex = track::DumpRows(bytes).hex;
  const qsizetype middle = hex->size() / 2 / 49 * 49;
  for (const QString& typed : {QString("7"), QString("90 3C 55 \r")}) {
    SCOPED_TRACE(typed.toStdString());
    const std::vector<Span> spans = {Slice{hex, 0, 49 * 3 + 4}, typed, Slice{hex, 49 * 3 + 4, middle - 49 * 3 - 4},
                                     QString("12 \r"), Slice{hex, middle + 49 * 2, hex->size() - middle - 49 * 2}};
    const QString whole = Whole(spans);
    const track::ByteParts raw = track::RawFileParts(Held(spans)), midi = track::MidiFileParts(Held(spans));
    ASSERT_TRUE(Written(raw) == track::RawFileBytes(whole));
    ASSERT_TRUE(Written(midi) == track::MidiFileBytes(whole));
    EXPECT_LT(raw.ownBytes(), 64);
    EXPECT_LT(midi.ownBytes(), 64 + 29);
  }
  // Untouched, the raw file is the file's bytes.
  const track::ByteParts untouched = track::RawFileParts(Held({Slice{hex, 0, hex->size()}}));
  EXPECT_TRUE(Written(untouched) == bytes);
  EXPECT_EQ(untouched.ownBytes(), 0);
}

}  // namespace
