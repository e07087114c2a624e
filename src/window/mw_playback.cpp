// Playback of the track text: "NotesPlay" starts and stops it, each tick of TM0
// carries out one step of playback::TickStep, and the line that sounds is shown as
// the selection of BinaryTa.
#include "window/mw.h"

#include "playback/highlight.h"
#include "playback/lines.h"
#include "playback/stepper.h"
#include "window/tracktextof.h"

#include <chrono>

namespace {

qint64 NowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void Send(MW& w, const playback::Sound& s, bool on)
{
    if (s.sounds)
        w.NPlayer().PlayNote(s.key, on ? s.velocity : 0);
}

// Only the probes' reach is read, not the whole text, at every tick.
void HighlightFrom(MW& w, qint64 s)
{
    TextArea& ta = w.BinaryTa();
    ta.SetSelStart(s);
    ta.SetSelLength(playback::kHighlightProbes);
    const playback::Highlight h = playback::HighlightInReach(ta.SelText(), s, w.selL);
    w.selL = h.selL;
    // The line's start is brought into view before its end, so that both are seen.
    ta.SetSelStart(h.selStart);
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
        Send(*this, playback::SoundOfLine(*this, soundNumber), false);
        return;
    }
    playback::StoreLines(TrackTextOf(ta), *this);
    const playback::Step step = playback::StartStep(*this);
    if (step.ends)
        return;
    HighlightFrom(*this, 0);
    Send(*this, step.noteOn, true);
    const qint64 period = playbackTimeline_.Start(NowNs(), step.periodMs);
    TM0().SetMode(Timer::ModeMultiple);
    TM0().SetPeriod(period);
}

void MW::TM0_Action(Timer&)
{
    const qint64 now = NowNs();
    const playback::Step step = playback::TickStep(*this);
    if (step.ends) {
        TM0().SetMode(Timer::ModeOff);
        Send(*this, step.noteOff, false);
        BinaryTa().SetSelStart(selL);
        BinaryTa().SetSelLength(0);
        return;
    }
    Send(*this, step.noteOff, false);
    Send(*this, step.noteOn, true);
    TM0().SetPeriod(playbackTimeline_.Tick(now, step.periodMs));
    HighlightFrom(*this, selL);
}
