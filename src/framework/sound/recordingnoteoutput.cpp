// A note output that records.
#include "framework/sound/recordingnoteoutput.h"

RecordingNoteOutput::RecordingNoteOutput() { clock_.start(); }

void RecordingNoteOutput::ProgramChange(int channel, int program)
{
    calls_.push_back({Kind::ProgramChange, channel, program, 0, clock_.elapsed()});
}

void RecordingNoteOutput::NoteOn(int channel, int key, int velocity)
{
    calls_.push_back({Kind::NoteOn, channel, key, velocity, clock_.elapsed()});
}

void RecordingNoteOutput::NoteOff(int channel, int key)
{
    calls_.push_back({Kind::NoteOff, channel, key, 0, clock_.elapsed()});
}
