// Playback as heard: the FluidSynth player is rendered offline while a short track
// plays, and the sound is checked for each note's pitch where it plays and for
// silence where rest and velocity-0 lines are.
#include "fixture.h"

#include "framework/sound/fluidsynthoutput.h"

#include <QElapsedTimer>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 44100;

constexpr qint64 Ms(int ms) { return qint64(ms) * kRate / 1000; }

// Renders the synthesizer up to the present before it hears each call, so the sound
// lines up with the moments playback sent its notes.
class RenderingOutput : public NoteOutput {
public:
    struct Mark { bool on; int key; qint64 frame; };

    RenderingOutput() : synth_({.openAudioDevice = false, .sampleRate = kRate}) { clock_.start(); }

    void ProgramChange(int channel, int program) override { CatchUp(); synth_.ProgramChange(channel, program); }
    void NoteOn(int channel, int key, int velocity) override { Record(true, key), synth_.NoteOn(channel, key, velocity); }
    void NoteOff(int channel, int key) override { Record(false, key), synth_.NoteOff(channel, key); }
    void RenderMore(int frames) { CatchUp(); Append(frames); }
    bool HasSynth() const { return synth_.HasSynth(); }
    qint64 Frames() const { return qint64(left_.size()); }

    double Rms(qint64 from, qint64 to) const
    {
        const double sum = std::inner_product(left_.data() + from, left_.data() + to, left_.data() + from, 0.0);
        return to > from ? std::sqrt(sum / double(to - from)) : 0;
    }

    // Goertzel: the strength of one key's frequency over a stretch of the sound.
    double Power(int key, qint64 from, qint64 to) const
    {
        const double k = 2 * std::cos(2 * std::numbers::pi * 440.0 * std::pow(2.0, (key - 69) / 12.0) / kRate);
        double s1 = 0, s2 = 0;
        for (qint64 i = from; i < to; ++i)
            s2 = std::exchange(s1, left_[i] + k * s1 - s2);
        return s1 * s1 + s2 * s2 - k * s1 * s2;
    }

    std::vector<Mark> marks;

private:
    void CatchUp()
    {
        if (const qint64 due = clock_.nsecsElapsed() * kRate / 1'000'000'000; due > Frames())
            Append(int(due - Frames()));
    }
    void Record(bool on, int key) { CatchUp(), marks.push_back({on, key, Frames()}); }
    void Append(int frames)
    {
        const std::vector<float> stereo = synth_.Render(frames);
        for (size_t i = 0; i < stereo.size(); i += 2)
            left_.push_back(stereo[i]);
    }

    FluidSynthOutput synth_;
    QElapsedTimer clock_;
    std::vector<float> left_;
};

} // namespace

TEST_F(WindowTest, NotesAreHeardAtTheirPitchAndRestsAndVelocityZeroLinesAreSilent)
{
    auto synth = std::make_shared<RenderingOutput>();
    ASSERT_TRUE(synth->HasSynth()) << "the General MIDI SoundFont is missing";
    SetNoteOutput(synth);

    // Notes of 200 ms; a rest and a velocity-0 line of 400 ms between them.
    w().BinaryTa().SetText(NoteLine("45", "55", "81 48") + "90 01 00 83 10 90 01 00 48" + CR +
                           NoteLine("4C", "55", "81 48") + NoteLine("3C", "00", "83 10") + NoteLine("48", "55", "81 48"));
    Click(w().NotePlayButton());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w().TM0().Mode() == Timer::ModeOff; }, 10000));
    synth->RenderMore(int(Ms(400)));

    const auto& marks = synth->marks;
    ASSERT_EQ(marks.size(), 6u);
    const int keys[] = {69, 76, 72};
    double loud[3] = {};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(keys[n]);
        const RenderingOutput::Mark &on = marks[2 * n], &off = marks[2 * n + 1];
        ASSERT_TRUE(on.on && !off.on && on.key == keys[n] && off.key == keys[n]);
        const qint64 from = on.frame + Ms(20);
        ASSERT_GT(off.frame - from, Ms(100));
        loud[n] = synth->Rms(from, off.frame);
        EXPECT_GT(loud[n], 0.005);
        for (int neighbour : {keys[n] - 1, keys[n] + 1})
            EXPECT_GT(synth->Power(keys[n], from, off.frame), 4 * synth->Power(neighbour, from, off.frame));
    }
    // From 200 ms after each note-off (its release has faded by then) to the next sound.
    const qint64 nexts[] = {marks[2].frame, marks[4].frame, synth->Frames()};
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const qint64 from = marks[2 * g + 1].frame + Ms(200);
        ASSERT_GT(nexts[g] - from, Ms(100));
        EXPECT_LT(synth->Rms(from, nexts[g]), loud[g] / 10);
    }
}
