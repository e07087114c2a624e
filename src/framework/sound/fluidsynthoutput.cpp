// FluidSynth: settings, the SoundFont, and an audio driver tried in the order
// PipeWire, PulseAudio, ALSA; with none the synth still takes every call.
#include "framework/sound/fluidsynthoutput.h"

#include <QFile>
#include <cstdio>
#include <fluidsynth.h>

struct FluidSynthState {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
};

namespace {

void SayOnce(const char* text)
{
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fprintf(stderr, "Quorvanel: %s; notes are silent.\n", text);
}

// FluidSynth's own log lines would repeat what SayOnce says.
void QuietLog(int, const char*, void*) {}

} // namespace

FluidSynthOutput::FluidSynthOutput() : FluidSynthOutput(Options{}) {}

FluidSynthOutput::FluidSynthOutput(const Options& options) : state_(new FluidSynthState)
{
    fluid_set_log_function(FLUID_WARN, QuietLog, nullptr);
    fluid_set_log_function(FLUID_ERR, QuietLog, nullptr);
    fluid_set_log_function(FLUID_INFO, QuietLog, nullptr);
    fluid_set_log_function(FLUID_DBG, QuietLog, nullptr);

    state_->settings = new_fluid_settings();
    if (!state_->settings) {
        SayOnce("the synthesizer could not be set up");
        return;
    }
    fluid_settings_setnum(state_->settings, "synth.sample-rate", options.sampleRate);
    // FluidSynth's default gain is quiet for a single voice.
    fluid_settings_setnum(state_->settings, "synth.gain", 0.8);
    state_->synth = new_fluid_synth(state_->settings);
    if (!state_->synth) {
        SayOnce("the synthesizer could not be set up");
        return;
    }
    const QByteArray sf = QFile::encodeName(options.soundFont);
    if (!QFile::exists(options.soundFont) || fluid_synth_sfload(state_->synth, sf.constData(), 1) == FLUID_FAILED) {
        SayOnce(("no General MIDI SoundFont at " + sf).constData());
        delete_fluid_synth(state_->synth);
        state_->synth = nullptr;
        return;
    }
    if (!options.openAudioDevice) {
        SayOnce("no sound device is opened");
        return;
    }
    for (const char* driver : {"pipewire", "pulseaudio", "alsa"}) {
        if (fluid_settings_setstr(state_->settings, "audio.driver", driver) != FLUID_OK)
            continue;
        state_->driver = new_fluid_audio_driver(state_->settings, state_->synth);
        if (state_->driver)
            return;
    }
    SayOnce("no sound device could be opened");
}

FluidSynthOutput::~FluidSynthOutput()
{
    if (state_->driver)
        delete_fluid_audio_driver(state_->driver);
    if (state_->synth)
        delete_fluid_synth(state_->synth);
    if (state_->settings)
        delete_fluid_settings(state_->settings);
    delete state_;
}

void FluidSynthOutput::ProgramChange(int channel, int program)
{
    if (state_->synth)
        fluid_synth_program_change(state_->synth, channel, program);
}

void FluidSynthOutput::NoteOn(int channel, int key, int velocity)
{
    if (state_->synth)
        fluid_synth_noteon(state_->synth, channel, key, velocity);
}

void FluidSynthOutput::NoteOff(int channel, int key)
{
    if (state_->synth)
        fluid_synth_noteoff(state_->synth, channel, key);
}

bool FluidSynthOutput::HasSynth() const { return state_->synth != nullptr; }
bool FluidSynthOutput::HasAudioDevice() const { return state_->driver != nullptr; }

std::vector<float> FluidSynthOutput::Render(int frames)
{
    std::vector<float> out(size_t(qMax(0, frames)) * 2, 0.0f);
    if (!state_->synth || state_->driver || frames <= 0)
        return out;
    fluid_synth_write_float(state_->synth, frames, out.data(), 0, 2, out.data(), 1, 2);
    return out;
}
