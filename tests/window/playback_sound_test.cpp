// Playback as heard: the FluidSynth player is rendered offline while a short track
// plays, and the sound is checked for each note's pitch where it plays and for
// silence where rest and velocity-0 lines are.
#include "fixture.h"

#include "framework/fluidsynthoutput.h"

#include <QElapsedTimer>
#include <QTest>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Renders the synthesizer up to the present before it hears each call, so the sound
// lines up with the moments playback sent its notes.
class RenderingOutput : public NoteOutput {
public:
    struct Mark {
        bool on;
        int key;
        qint64 frame;
    };

    RenderingOutput() : synth_(Options()) { clock_.start(); }

    void ProgramChange(int channel, int program) override
    {
        CatchUp();
        synth_.ProgramChange(channel, program);
    }
    void NoteOn(int channel, int key, int velocity) override
    {
        CatchUp();
        marks_.push_back({true, key, Frames()});
        synth_.NoteOn(channel, key, velocity);
    }
    void NoteOff(int channel, int key) override
    {
        CatchUp();
        marks_.push_back({false, key, Frames()});
        synth_.NoteOff(channel, key);
    }

    void RenderMore(int frames)
    {
        CatchUp();
        Append(frames);
    }
    bool HasSynth() const { return synth_.HasSynth(); }
    const std::vector<Mark>& Marks() const { return marks_; }
    qint64 Frames() const { return qint64(left_.size()); }

    double Rms(qint64 from, qint64 to) const
    {
        double sum = 0;
        for (qint64 i = from; i < to; ++i)
            sum += double(left_[i]) * left_[i];
        return to > from ? std::sqrt(sum / double(to - from)) : 0;
    }

    // Goertzel: the strength of one frequency over a stretch of the sound.
    double Power(double hz, qint64 from, qint64 to) const
    {
        const double k = 2 * std::cos(2 * std::numbers::pi * hz / kRate);
        double s1 = 0, s2 = 0;
        for (qint64 i = from; i < to; ++i) {
            const double s0 = left_[i] + k * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return s1 * s1 + s2 * s2 - k * s1 * s2;
    }

private:
    static FluidSynthOutput::Options Options()
    {
        FluidSynthOutput::Options o;
        o.openAudioDevice = false;
        o.sampleRate = kRate;
        return o;
    }
    void CatchUp()
    {
        const qint64 due = clock_.nsecsElapsed() * kRate / 1'000'000'000;
        if (due > Frames())
            Append(int(due - Frames()));
    }
    void Append(int frames)
    {
        const std::vector<float> stereo = synth_.Render(frames);
        for (size_t i = 0; i < stereo.size(); i += 2)
            left_.push_back(stereo[i]);
    }

    FluidSynthOutput synth_;
    QElapsedTimer clock_;
    std::vector<float> left_;
    std::vector<Mark> marks_;
};

double KeyHz(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

constexpr qint64 Ms(int ms) { return qint64(ms) * kRate / 1000; }

const QString CR(QChar(13));

} // namespace

using PlaybackSound = WindowTest;

TEST_F(PlaybackSound, NotesAreHeardAtTheirPitchAndRestsAndVelocityZeroLinesAreSilent)
{
    auto synth = std::make_shared<RenderingOutput>();
    ASSERT_TRUE(synth->HasSynth()) << "the General MIDI SoundFont is missing";
    SetNoteOutput(synth);

    // Notes of 200 ms; a rest and a velocity-0 line of 400 ms between them.
    w().BinaryTa().SetText("90 45 55 81 48 90 45 00 48 " + CR +  // A4
                           "90 01 00 83 10 90 01 00 48" + CR +    // rest
                           "90 4C 55 81 48 90 4C 00 48 " + CR +   // E5
                           "90 3C 00 83 10 90 3C 00 48 " + CR +   // velocity 0
                           "90 48 55 81 48 90 48 00 48 " + CR);   // C5
    QTest::mouseClick(w().NotePlayButton().Widget(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w().TM0().Mode() == Timer::ModeOff; }, 10000));
    synth->RenderMore(int(Ms(400)));

    const auto& marks = synth->Marks();
    ASSERT_EQ(marks.size(), 6u);
    const int keys[] = {69, 76, 72};
    double loud[3] = {};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(keys[n]);
        const RenderingOutput::Mark& on = marks[2 * n];
        const RenderingOutput::Mark& off = marks[2 * n + 1];
        ASSERT_TRUE(on.on && !off.on);
        ASSERT_EQ(on.key, keys[n]);
        ASSERT_EQ(off.key, keys[n]);
        const qint64 from = on.frame + Ms(20);
        ASSERT_GT(off.frame - from, Ms(100));
        loud[n] = synth->Rms(from, off.frame);
        EXPECT_GT(loud[n], 0.005);
        const double at = synth->Power(KeyHz(keys[n]), from, off.frame);
        EXPECT_GT(at, 4 * synth->Power(KeyHz(keys[n] - 1), from, off.frame));
        EXPECT_GT(at, 4 * synth->Power(KeyHz(keys[n] + 1), from, off.frame));
    }
    // From 200 ms after each note-off (its release has faded by then) to the next sound.
    const qint64 ends[] = {marks[1].frame, marks[3].frame, marks[5].frame};
    const qint64 nexts[] = {marks[2].frame, marks[4].frame, synth->Frames()};
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const qint64 from = ends[g] + Ms(200);
        ASSERT_GT(nexts[g] - from, Ms(100));
        EXPECT_LT(synth->Rms(from, nexts[g]), loud[g] / 10);
    }
}
