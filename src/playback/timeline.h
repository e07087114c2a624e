// The ideal timeline of a playback: each line starts when the lines before it have
// sounded their whole periods. The timer's period counts from the moment it is set,
// so asking for each line's own period at its tick would add that tick's lateness to
// every later line; the wait asked for instead runs to the line's ideal end.
#pragma once

#include <QtGlobal>

namespace playback {

// A tick this far off the timeline, late or early, is not corrected for: the timeline
// starts again from it. After a stalled event loop the lines then keep their lengths
// instead of racing to catch up, and a tick that no timer sent moves nothing.
inline constexpr qint64 kMaxCorrectionNs = 50'000'000;

class Timeline {
 public:
  // The first line starts at nowNs and lasts periodMs; gives the wait to ask for.
  qint64 Start(qint64 nowNs, qint64 periodMs);
  // A tick at nowNs ends the line due then and starts the next, which lasts periodMs.
  // Gives the wait until that line's ideal end in whole milliseconds, never negative,
  // rounded down: the event loop wakes up to a millisecond after a timer is due.
  qint64 Tick(qint64 nowNs, qint64 periodMs);

  // How far the last tick came after its ideal time (negative: before), in ns.
  qint64 LatenessNs() const { return lateness_; }
  // When the line now sounding is due to end, in ns on the caller's clock.
  qint64 DueNs() const { return due_; }

 private:
  qint64 WaitMs(qint64 nowNs) const;

  qint64 due_ = 0;
  qint64 lateness_ = 0;
};

}  // namespace playback
