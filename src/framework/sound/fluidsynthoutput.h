// The FluidSynth synthesizer with the system's General MIDI SoundFont, playing
// through the desktop's sound server, else ALSA. With no device (or no SoundFont)
// it accepts every call silently and says so once on stderr.
#pragma once

#include "framework/sound/noteoutput.h"

#include <QString>
#include <vector>

struct FluidSynthState;

class FluidSynthOutput : public NoteOutput {
public:
    struct Options {
        QString soundFont = QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2");
        bool openAudioDevice = true;
        double sampleRate = 44100.0;
    };
    FluidSynthOutput();
    explicit FluidSynthOutput(const Options& options);
    ~FluidSynthOutput() override;

    void ProgramChange(int channel, int program) override;
    void NoteOn(int channel, int key, int velocity) override;
    void NoteOff(int channel, int key) override;

    bool HasSynth() const;
    bool HasAudioDevice() const;
    // Renders frames of stereo sound by hand, interleaved; only without a device.
    std::vector<float> Render(int frames);

private:
    FluidSynthState* state_;
};
