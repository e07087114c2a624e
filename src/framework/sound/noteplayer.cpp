// NotePlayer: instrument k is program k - 1 on the first channel.
#include "framework/sound/noteplayer.h"

#include "framework/sound/noteoutput.h"

#include <algorithm>

namespace {
constexpr int kChannel = 0;
}

NotePlayer::NotePlayer() : Control(nullptr) {}

void NotePlayer::SetInstrument(qint64 instrument)
{
    instrument_ = std::clamp<qint64>(instrument, 1, 128);
    NoteOutput& out = CurrentNoteOutput();
    out.ProgramChange(kChannel, int(instrument_ - 1));
    programSentTo_ = NoteOutputGeneration();
}

void NotePlayer::PlayNote(qint64 note, qint64 velocity)
{
    const int key = int(std::clamp<qint64>(note, 0, 127));
    const int vel = int(std::clamp<qint64>(velocity, 0, 127));
    NoteOutput& out = CurrentNoteOutput();
    // An output installed after the instrument was chosen has not heard of it.
    if (programSentTo_ != NoteOutputGeneration()) {
        out.ProgramChange(kChannel, int(instrument_ - 1));
        programSentTo_ = NoteOutputGeneration();
    }
    if (vel == 0)
        out.NoteOff(kChannel, key);
    else
        out.NoteOn(kChannel, key, vel);
}
