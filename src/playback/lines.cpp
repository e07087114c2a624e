// Cutting the track text into playback lines and reading each by its field count.
#include "playback/lines.h"

#include "framework/text/numbers.h"
#include "track/deltatime.h"
#include "track/velocity.h"

#include <array>
#include <cmath>

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

}  // namespace

LineFields PickFields(QStringView line) {
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
    LineFields f{field[row.pitField].toString(), field[row.velField].toString(), {}};
    if (row.durField == 0) f.dur = QStringLiteral("83 60");
    else if (row.durSecond == 0) f.dur = field[row.durField].toString();
    else {
      f.dur = field[row.durField].toString();
      f.dur += u' ';
      f.dur += field[row.durSecond];
    }
    return f;
  }
  return {};  // unreachable: the last two rows take every count
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

QVector<Line> ParseLines(const QString& text, qint64 v) {
  QVector<Line> lines;
  lines.reserve(text.count(u'\r'));
  qsizetype from = 0;
  for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', from)) {
    Line line;
    line.text = text.sliced(from, cr - from);
    LineFields f = PickFields(line.text);
    line.pit = std::move(f.pit);
    line.vel = std::move(f.vel);
    line.dur = std::move(f.dur);
    line.sound = SoundOf(line.pit, line.vel, v);
    line.ticks = track::VaToDu(line.dur);
    line.end = cr + 1;
    lines.append(std::move(line));
    from = cr + 1;
  }
  return lines;
}

void StoreInState(const QVector<Line>& lines, track::EditorState& state) {
  state.noteCount = lines.size();
  state.note.clear();
  state.pit.clear();
  state.vel.clear();
  state.dur.clear();
  for (const Line& line : lines) {
    state.note.append(line.text);
    state.pit.append(line.pit);
    state.vel.append(line.vel);
    state.dur.append(line.dur);
  }
}

qint64 PeriodMs(qint64 ticks, double d) {
  const double ms = std::trunc(static_cast<double>(ticks) * d);
  if (!(ms > 0)) return 0;
  return textfn::ToInteger(ms);
}

}  // namespace playback
