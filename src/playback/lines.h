// The track text cut into the lines that playback sounds, one record per CR-ended line.
#pragma once

#include "track/editorstate.h"
#include "track/tracktext.h"

#include <QString>
#include <QStringView>
#include <QVector>

namespace playback {

// The key, velocity and sounding-time texts of one line, by the field-count table.
struct LineFields {
  QString pit;
  QString vel;
  QString dur;
};

// The line (without its CR) is cut at each blank; a line that does not end with a
// blank is read as if it did. The first row of the table matching the field count
// (and, for 9, 14 and the other counts, whether field 1 is "90") gives the fields.
LineFields PickFields(QStringView line);

// What the note player is given for a line, worked out from its key and velocity
// texts alone: both read as hex, the velocity scaled by v.
struct Sound {
  qint64 key = 0;
  qint64 velocityValue = 0;
  qint64 velocity = 0;
  bool sounds = false;  // key within 0 to 127, velocity value not 0: only then are its
                        // note-on and note-off sent; a silent line still takes its time
};

Sound SoundOf(QStringView pit, QStringView vel, qint64 v);

struct Line {
  QString text;           // the line without its CR
  QString pit, vel, dur;  // the texts the table picked
  Sound sound;            // SoundOf(pit, vel, v)
  qint64 ticks = 0;       // dur as ticks
  qint64 end = 0;         // offset just past the line's CR in the parsed text
};

// Every CR-ended line of the text, in order; text after the last CR is no line.
// v is the editor state's velocity scale.
// The text is read piece by piece.
QVector<Line> ParseLines(const track::TrackText& text, qint64 v);
QVector<Line> ParseLines(const QString& text, qint64 v);

// A start's share of the editor state: noteCount and, per line, note, pit, vel and dur
// (the texts ParseLines gives), straight from the text read piece by piece.
void StoreLines(const track::TrackText& text, track::EditorState& state);

// The timer period of a line: the whole-number part of ticks * d, never negative.
qint64 PeriodMs(qint64 ticks, double d);

}  // namespace playback
