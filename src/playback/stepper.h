// Playback stepping over the editor state: what a start sounds, what each tick ends
// and starts, and how long each line lasts. The window only carries the steps out.
#pragma once

#include "playback/lines.h"
#include "track/editorstate.h"

namespace playback {

// Line i as the note player hears it, worked out afresh from the texts a start stored;
// a line outside them is silent.
Sound SoundOfLine(const track::EditorState& state, qint64 i);

// The timer period of line i: its sounding time in ticks times d, whole milliseconds.
qint64 PeriodOfLine(const track::EditorState& state, qint64 i);

// One move of playback. A silent noteOff or noteOn is not sent.
struct Step {
  bool ends = false;  // nothing more sounds: the timer stops
  Sound noteOff;      // the line that ends, sent with velocity 0
  Sound noteOn;       // the line that starts
  qint64 periodMs = 0;
};

// A start, once StoreLines has filled the state: line 0 sounds. With no line it
// ends at once and leaves the state as it is.
Step StartStep(track::EditorState& state);

// A timer tick: the sounding line ends; unless it was the last, soundNumber moves on
// and the next line starts.
Step TickStep(track::EditorState& state);

}  // namespace playback
