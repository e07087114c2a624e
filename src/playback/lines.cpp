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

// The fields the table picks, as views into the line (a QStringView or, for a line
// read from a Latin-1 piece, a QLatin1StringView). A two-field sounding time is the
// two fields with the blank between them, as they stand in the line; fixedDur
// stands for "83 60".
template <class View>
struct FieldViews {
  View pit, vel, dur;
  bool fixedDur = false;
};

template <class View>
const auto* Units(View v) {
  if constexpr (std::is_same_v<View, QStringView>)
    return reinterpret_cast<const char16_t*>(v.data());
  else
    return reinterpret_cast<const unsigned char*>(v.data());
}

// Blanks in a run of Latin-1 bytes, eight at a time: a byte equal to the blank
// becomes zero after the xor, and the usual zero-byte test marks each such byte.
qsizetype CountBlanks(const unsigned char* p, qsizetype n) {
  constexpr quint64 ones = 0x0101010101010101ULL;
  constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7FULL;
  qsizetype count = 0, i = 0;
  for (; i + 8 <= n; i += 8) {
    quint64 w;
    std::memcpy(&w, p + i, 8);
    const quint64 x = w ^ (ones * quint64(' '));
    // One bit a match, at the top of its byte; the multiply sums the bytes' bits
    // into the top byte (no popcount instruction is assumed).
    const quint64 marks = ~(((x & low7) + low7) | x | low7) >> 7;
    count += static_cast<qsizetype>((marks * ones) >> 56);
  }
  for (; i < n; ++i) count += p[i] == ' ';
  return count;
}

qsizetype CountBlanks(const char16_t* p, qsizetype n) {
  qsizetype count = 0;
  for (qsizetype i = 0; i < n; ++i) count += p[i] == u' ';
  return count;
}

template <class View>
FieldViews<View> PickViews(View line) {
  const auto* u = Units(line);
  const qsizetype n = line.size();
  // The count from the blanks, then the first five fields, blank by blank.
  const qsizetype blanks = CountBlanks(u, n);
  std::array<View, kFieldsKept + 1> field{};  // index 0 unused
  qsizetype from = 0;
  for (int k = 1; k <= kFieldsKept; ++k) {
    qsizetype blank = from;
    while (blank < n && u[blank] != ' ') ++blank;
    field[k] = line.sliced(from, blank - from);
    if (blank == n) break;
    from = blank + 1;
  }
  qsizetype count = blanks + 1;
  if (n == 0 || u[n - 1] != ' ') ++count;  // read as if it ended with a blank

  const bool is90 = field[1].size() == 2 && Units(field[1])[0] == '9' && Units(field[1])[1] == '0';
  for (const TableRow& row : kTable) {
    if (row.count != kAnyCount && row.count != count) continue;
    if ((row.lead == Lead::Is90 && !is90) || (row.lead == Lead::Not90 && is90)) continue;
    FieldViews<View> f{field[row.pitField], field[row.velField], {}, row.durField == 0};
    if (row.durField != 0) f.dur = field[row.durField];
    if (row.durField != 0 && row.durSecond != 0) {
      // The second field follows the first after one blank: both, as in the line.
      const View second = field[row.durSecond];
      f.dur = line.sliced(f.dur.data() - line.data(), second.data() + second.size() - f.dur.data());
    }
    return f;
  }
  return {};  // unreachable: the last two rows take every count
}

// Hands every CR-ended line of the text (without its CR) to f, with the offset just
// past its CR: a view into the piece that holds it, or into a string joined from
// the pieces it spans. Text after the last CR is no line.
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
          return s.sliced(at, len);
        else
          return QLatin1StringView(reinterpret_cast<const char*>(s.data()) + at, len);
      };
      qsizetype from = 0;
      for (qsizetype cr = findBreak(0); cr >= 0; cr = from < n ? findBreak(from) : -1) {
        if (open.isEmpty()) {
          f(part(from, cr - from), base + cr + 1);
        } else {
          open += part(from, cr - from);
          f(QStringView(open), base + cr + 1);
          open.clear();
        }
        from = cr + 1;
      }
      if (from < n) open += part(from, n - from);
      base += n;
    });
  });
}

const QString& FixedDur() {
  static const QString dur = QStringLiteral("83 60");
  return dur;
}

}  // namespace

LineFields PickFields(QStringView line) {
  const FieldViews<QStringView> f = PickViews(line);
  return {f.pit.toString(), f.vel.toString(), f.fixedDur ? FixedDur() : f.dur.toString()};
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
  ForEachLine(text, [&](auto lineText, qsizetype end) {
    Line line;
    line.text = lineText.toString();
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
  // Room for a dump's rows (49 characters, a two-character key and velocity); other
  // texts grow as they need. Pages not written to are never taken.
  for (track::TextList* list : {&state.note, &state.pit, &state.vel, &state.dur})
    list->reserve(list == &state.note ? text.length : text.length / 16, text.length / 48);
  ForEachLine(text, [&](auto line, qsizetype) {
    const auto f = PickViews(line);
    state.note.append(line);
    state.pit.append(f.pit);
    state.vel.append(f.vel);
    if (f.fixedDur)
      state.dur.append(QStringView(FixedDur()));
    else
      state.dur.append(f.dur);
  });
  state.noteCount = state.note.size();
}

qint64 PeriodMs(qint64 ticks, double d) {
  const double ms = std::trunc(static_cast<double>(ticks) * d);
  if (!(ms > 0)) return 0;
  return textfn::ToInteger(ms);
}

}  // namespace playback
