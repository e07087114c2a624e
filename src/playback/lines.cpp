// Cutting the track text into playback lines and reading each by its field count.
#include "playback/lines.h"

#include "framework/text/numbers.h"
#include "track/deltatime.h"
#include "track/velocity.h"

#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

namespace playback {

namespace {

constexpr int kAnyCount = -1;
enum class Lead { Any, Is90, Not90 };

// One row of the field-count table: fields are numbered from 1; durSecond 0 means a
// one-field sounding time, durField 0 the fixed "83 60" (480 ticks).
struct TableRow {
  int count;
  Lead lead;
  int pitField, velField, durField, durSecond;
};

constexpr std::array<TableRow, 12> kTable{{
    {7, Lead::Any, 1, 2, 3, 0},
    {8, Lead::Any, 1, 2, 3, 4},
    {9, Lead::Is90, 2, 3, 4, 0},
    {9, Lead::Not90, 1, 2, 3, 4},
    {10, Lead::Any, 2, 3, 4, 5},
    {11, Lead::Any, 2, 3, 4, 5},
    {13, Lead::Any, 1, 2, 3, 0},
    {14, Lead::Is90, 2, 3, 4, 0},
    {14, Lead::Not90, 1, 2, 0, 0},
    {15, Lead::Any, 2, 3, 0, 0},
    {kAnyCount, Lead::Is90, 2, 3, 0, 0},
    {kAnyCount, Lead::Not90, 1, 2, 0, 0},
}};

constexpr int kFieldsKept = 5;

// The fields the table picks, as views into the line; dur2 is empty for a one-field
// sounding time, and fixedDur stands for "83 60".
struct FieldViews {
  QStringView pit, vel, dur, dur2;
  bool fixedDur = false;
  bool twoFields = false;
};

FieldViews PickViews(QStringView line) {
  // The first five fields and the count, in one scan.
  std::array<QStringView, kFieldsKept + 1> field{};  // index 0 unused
  qsizetype count = 1, from = 0;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] != u' ') continue;
    if (count <= kFieldsKept) field[count] = line.sliced(from, i - from);
    ++count;
    from = i + 1;
  }
  if (count <= kFieldsKept) field[count] = line.sliced(from);
  if (!line.endsWith(u' ')) ++count;  // read as if it ended with a blank

  const bool is90 = field[1] == u"90";
  for (const TableRow& row : kTable) {
    if (row.count != kAnyCount && row.count != count) continue;
    if ((row.lead == Lead::Is90 && !is90) || (row.lead == Lead::Not90 && is90)) continue;
    FieldViews f{field[row.pitField], field[row.velField], {}, {}, row.durField == 0, false};
    if (row.durField != 0) f.dur = field[row.durField];
    if (row.durField != 0 && row.durSecond != 0) {
      f.dur2 = field[row.durSecond];
      f.twoFields = true;
    }
    return f;
  }
  return {};  // unreachable: the last two rows take every count
}

const QString& FixedDur() {
  static const QString dur = QStringLiteral("83 60");
  return dur;
}

// The sounding time's text: one field, two joined by a blank, or the fixed one.
QString DurText(const FieldViews& f) {
  if (f.fixedDur) return FixedDur();
  QString dur = f.dur.toString();
  if (f.twoFields) {
    dur += u' ';
    dur += f.dur2;
  }
  return dur;
}

// Hands every CR-ended line of the text (without its CR) to f with the offset just
// past its CR. A line is made once, from the piece that holds it or from the
// pieces it spans; text after the last CR is no line.
template <class F>
void ForEachLine(const track::TrackText& text, F&& f) {
  QString open;  // the start of a line that runs on into the next piece
  qsizetype base = 0;  // offset of the piece in the text
  text.readPieces([&](QAnyStringView piece) {
    piece.visit([&](auto s) {
      using View = decltype(s);
      const qsizetype n = s.size();
      auto findBreak = [&](qsizetype at) {
        qsizetype cr = -1;
        if constexpr (std::is_same_v<View, QStringView>) {
          cr = s.indexOf(u'\r', at);
        } else {  // one byte a character: Latin-1 (the engine gives no UTF-8)
          const char* p = reinterpret_cast<const char*>(s.data());
          const void* hit = std::memchr(p + at, '\r', static_cast<size_t>(n - at));
          cr = hit ? static_cast<const char*>(hit) - p : -1;
        }
        return cr;
      };
      auto part = [&](qsizetype at, qsizetype len) {
        if constexpr (std::is_same_v<View, QStringView>)
          return s.sliced(at, len).toString();
        else
          return QString::fromLatin1(reinterpret_cast<const char*>(s.data()) + at, len);
      };
      qsizetype from = 0;
      for (qsizetype cr = findBreak(0); cr >= 0; cr = from < n ? findBreak(from) : -1) {
        QString line = part(from, cr - from);
        if (!open.isEmpty()) {
          line.prepend(open);
          open.clear();
        }
        f(std::move(line), base + cr + 1);
        from = cr + 1;
      }
      if (from < n) open += part(from, n - from);
      base += n;
    });
  });
}

}  // namespace

LineFields PickFields(QStringView line) {
  const FieldViews f = PickViews(line);
  return {f.pit.toString(), f.vel.toString(), DurText(f)};
}

Sound SoundOf(QStringView pit, QStringView vel, qint64 v) {
  Sound s;
  s.key = textfn::ToInteger(textfn::ValHex(pit));
  s.velocityValue = textfn::ToInteger(textfn::ValHex(vel));
  s.velocity = track::Velocity(s.velocityValue, v);
  // A velocity value of 0 is a silent note-on, as in the saved file.
  s.sounds = s.key >= 0 && s.key <= 127 && s.velocityValue != 0 && s.velocity > 0;
  return s;
}

QVector<Line> ParseLines(const track::TrackText& text, qint64 v) {
  QVector<Line> lines;
  ForEachLine(text, [&](QString&& lineText, qsizetype end) {
    Line line;
    line.text = std::move(lineText);
    LineFields f = PickFields(line.text);
    line.pit = std::move(f.pit);
    line.vel = std::move(f.vel);
    line.dur = std::move(f.dur);
    line.sound = SoundOf(line.pit, line.vel, v);
    line.ticks = track::VaToDu(line.dur);
    line.end = end;
    lines.append(std::move(line));
  });
  return lines;
}

QVector<Line> ParseLines(const QString& text, qint64 v) { return ParseLines(track::TrackText::Of(text), v); }

void StoreLines(const track::TrackText& text, track::EditorState& state) {
  state.note.clear();
  state.pit.clear();
  state.vel.clear();
  state.dur.clear();
  // Key and velocity texts are mostly two ASCII characters: each such text is made
  // once and shared by every line that has it.
  std::vector<QString> pairs(128 * 128);
  auto shared = [&pairs](QStringView s) {
    if (s.size() != 2 || s[0].unicode() >= 128 || s[1].unicode() >= 128) return s.toString();
    QString& made = pairs[s[0].unicode() * 128 + s[1].unicode()];
    if (made.isNull()) made = s.toString();
    return made;
  };
  ForEachLine(text, [&](QString&& line, qsizetype) {
    const FieldViews f = PickViews(line);
    state.pit.append(shared(f.pit));
    state.vel.append(shared(f.vel));
    state.dur.append(DurText(f));
    state.note.append(std::move(line));
  });
  state.noteCount = state.note.size();
}

qint64 PeriodMs(qint64 ticks, double d) {
  const double ms = std::trunc(static_cast<double>(ticks) * d);
  if (!(ms > 0)) return 0;
  return textfn::ToInteger(ms);
}

}  // namespace playback
