// A General MIDI voice: Instrument 1 to 128 (program Instrument - 1 on the first
// channel) and PlayNote, velocity 0 ending the note.
#pragma once

#include "framework/controls/control.h"

class NotePlayer : public Control {
public:
    NotePlayer();

    qint64 Instrument() const { return instrument_; }
    // Values outside 1..128 are clamped.
    void SetInstrument(qint64 instrument);
    // Notes and velocities outside 0..127 are clamped.
    void PlayNote(qint64 note, qint64 velocity);

private:
    qint64 instrument_ = 1;
    unsigned long long programSentTo_ = 0;  // output generation told the program
};
