// Where the note player's MIDI goes: the process's one synthesizer by default, a
// recording in tests.
#pragma once

#include <memory>

class NoteOutput {
public:
    virtual ~NoteOutput() = default;
    // channel 0-15, program 0-127, key and velocity 0-127.
    virtual void ProgramChange(int channel, int program) = 0;
    virtual void NoteOn(int channel, int key, int velocity) = 0;
    virtual void NoteOff(int channel, int key) = 0;
};

// The output every NotePlayer plays through: the FluidSynth synthesizer unless
// one was installed. Set returns the previous one.
NoteOutput& CurrentNoteOutput();
std::shared_ptr<NoteOutput> SetNoteOutput(std::shared_ptr<NoteOutput> output);
// Counts the outputs installed so far, so a player can tell a new output from
// an old one (even one made at the same address).
unsigned long long NoteOutputGeneration();
