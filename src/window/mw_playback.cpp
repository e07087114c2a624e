// Playback of the track text: the NotesPlay button and the timer's ticks.
#include "window/mw.h"

void MW::NotePlayButton_Action(PushButton&) { NotesPlay(); }

void MW::NotesPlay() {}

void MW::TM0_Action(Timer&) {}
