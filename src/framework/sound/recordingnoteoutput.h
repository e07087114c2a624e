// A note output that only records what it is told, with the time of each call.
#pragma once

#include "framework/sound/noteoutput.h"

#include <QElapsedTimer>
#include <vector>

class RecordingNoteOutput : public NoteOutput {
public:
    enum class Kind { ProgramChange, NoteOn, NoteOff };
    struct Call {
        Kind kind;
        int channel;
        int value;     // program or key
        int velocity;  // 0 for ProgramChange and NoteOff
        qint64 msecs;  // since the recording began
    };

    RecordingNoteOutput();
    void ProgramChange(int channel, int program) override;
    void NoteOn(int channel, int key, int velocity) override;
    void NoteOff(int channel, int key) override;

    const std::vector<Call>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    QElapsedTimer clock_;
    std::vector<Call> calls_;
};
