// Playback of the track text: "NotesPlay" starts and stops it, each tick of TM0
// ends the sounding line and starts the next, and the line that sounds is shown as
// the selection of BinaryTa.
#include "window/mw.h"

#include "playback/highlight.h"
#include "playback/lines.h"

#include <chrono>

namespace {

qint64 NowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Line i as the note player hears it, worked out afresh from the texts the start stored.
playback::Sound SoundOfLine(const MW& w, qint64 i)
{
    if (i < 0 || i >= w.pit.size() || i >= w.vel.size())
        return {};
    return playback::SoundOf(w.pit[i], w.vel[i], w.v);
}

void StartNote(MW& w, qint64 i)
{
    const playback::Sound s = SoundOfLine(w, i);
    if (s.sounds)
        w.NPlayer().PlayNote(s.key, s.velocity);
}

void EndNote(MW& w, qint64 i)
{
    const playback::Sound s = SoundOfLine(w, i);
    if (s.sounds)
        w.NPlayer().PlayNote(s.key, 0);
}

qint64 PeriodOfLine(MW& w, qint64 i)
{
    return playback::PeriodMs(w.VaToDu(i >= 0 && i < w.dur.size() ? w.dur[i] : QString()), w.d);
}

// The highlight scan from offset s. The probes reach 1001 characters, so one read of
// that reach, searched for the CR, gives what probing them one by one would, without
// copying the whole text at every tick.
void HighlightFrom(MW& w, qint64 s)
{
    TextArea& ta = w.BinaryTa();
    ta.SetSelStart(s);
    ta.SetSelLength(playback::kHighlightProbes);
    const playback::Highlight h = playback::HighlightScan(ta.SelText(), 0, 0);
    if (h.found)
        w.selL = s + h.selL;
    // The line's start is brought into view before its end, so that both are seen.
    ta.SetSelStart(s + h.selStart);
    ta.ScrollToSelection();
    ta.SetSelLength(h.selLength);
    ta.ScrollToSelection();
}

} // namespace

void MW::NotePlayButton_Action(PushButton&) { NotesPlay(); }

void MW::NotesPlay()
{
    TextArea& ta = BinaryTa();
    if (ta.Length() == 0)
        return;
    if (TM0().Mode() != Timer::ModeOff) {
        TM0().SetMode(Timer::ModeOff);
        EndNote(*this, soundNumber);
        return;
    }
    playback::StoreInState(playback::ParseLines(ta.Text(), v), *this);
    if (noteCount == 0)
        return;
    HighlightFrom(*this, 0);
    soundNumber = 0;
    StartNote(*this, 0);
    const qint64 period = playbackTimeline_.Start(NowNs(), PeriodOfLine(*this, 0));
    TM0().SetMode(Timer::ModeMultiple);
    TM0().SetPeriod(period);
}

void MW::TM0_Action(Timer&)
{
    const qint64 now = NowNs();
    if (soundNumber + 1 >= noteCount) {
        TM0().SetMode(Timer::ModeOff);
        EndNote(*this, soundNumber);
        BinaryTa().SetSelStart(selL);
        BinaryTa().SetSelLength(0);
        return;
    }
    EndNote(*this, soundNumber);
    ++soundNumber;
    StartNote(*this, soundNumber);
    TM0().SetPeriod(playbackTimeline_.Tick(now, PeriodOfLine(*this, soundNumber)));
    HighlightFrom(*this, selL);
}
