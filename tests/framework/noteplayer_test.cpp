// NotePlayer through the recording output, and the FluidSynth synthesizer without
// its SoundFont; how a note sounds is heard through the window's playback.
#include "framework/sound/fluidsynthoutput.h"
#include "framework/sound/noteplayer.h"
#include "framework/sound/recordingnoteoutput.h"

#include <cmath>
#include <numeric>
#include <gtest/gtest.h>

namespace {

struct Recording {
    std::shared_ptr<RecordingNoteOutput> out = std::make_shared<RecordingNoteOutput>();
    std::shared_ptr<NoteOutput> previous = SetNoteOutput(out);
    ~Recording() { SetNoteOutput(previous); }
};

double Rms(const std::vector<float>& s)
{
    return s.empty() ? 0.0 : std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / double(s.size()));
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
