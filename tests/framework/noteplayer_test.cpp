// NotePlayer through the recording output, and the FluidSynth synthesizer
// rendered offline.
#include "framework/sound/fluidsynthoutput.h"
#include "framework/sound/noteplayer.h"
#include "framework/sound/recordingnoteoutput.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Recording {
    std::shared_ptr<RecordingNoteOutput> out = std::make_shared<RecordingNoteOutput>();
    std::shared_ptr<NoteOutput> previous = SetNoteOutput(out);
    ~Recording() { SetNoteOutput(previous); }
};

double Rms(const std::vector<float>& s, size_t from = 0)
{
    double sum = 0;
    for (size_t i = from; i < s.size(); ++i)
        sum += double(s[i]) * s[i];
    return s.size() > from ? std::sqrt(sum / double(s.size() - from)) : 0.0;
}

} // namespace

TEST(NotePlayerCalls, OutOfRangeValuesAreClampedAndANewOutputHearsTheInstrumentFirst)
{
    NotePlayer p;
    {
        Recording first;
        p.SetInstrument(0);
        EXPECT_EQ(p.Instrument(), 1);
        p.SetInstrument(500);
        EXPECT_EQ(p.Instrument(), 128);
        p.PlayNote(200, 300);
        EXPECT_EQ(first.out->Calls().back().value, 127);
        EXPECT_EQ(first.out->Calls().back().velocity, 127);
        p.SetInstrument(20);
    }
    Recording second;
    p.PlayNote(60, 90);
    ASSERT_EQ(second.out->Calls().size(), 2u);
    EXPECT_EQ(second.out->Calls()[0].value, 19);
}

TEST(FluidSynthSound, PlayedNoteIsAudibleAndVelocityZeroReleasesIt)
{
    FluidSynthOutput::Options o;
    o.openAudioDevice = false;
    if (!QFile::exists(o.soundFont))
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    FluidSynthOutput synth(o);
    ASSERT_TRUE(synth.HasSynth());
    EXPECT_FALSE(synth.HasAudioDevice());
    EXPECT_LT(Rms(synth.Render(4410)), 1e-6);

    synth.ProgramChange(0, 0);
    synth.NoteOn(0, 60, 100);
    const double sounding = Rms(synth.Render(8820));
    EXPECT_GT(sounding, 0.01);

    synth.NoteOff(0, 60);
    const std::vector<float> tail = synth.Render(int(o.sampleRate) * 3);
    const double released = Rms(tail, tail.size() - 8820);
    EXPECT_LT(released, sounding / 100);
}

TEST(FluidSynthSound, MissingSoundFontGivesASilentPlayerThatTakesEveryCall)
{
    FluidSynthOutput::Options o;
    o.openAudioDevice = false;
    o.soundFont = QStringLiteral("/nonexistent/none.sf2");
    FluidSynthOutput synth(o);
    EXPECT_FALSE(synth.HasSynth());
    synth.ProgramChange(0, 3);
    synth.NoteOn(0, 60, 100);
    synth.NoteOff(0, 60);
    EXPECT_LT(Rms(synth.Render(100)), 1e-9);
}
