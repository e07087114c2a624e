// The ideal timeline of a playback and the waits that keep to it.
#include "playback/timeline.h"

#include <limits>

namespace playback {

namespace {

constexpr qint64 kNsPerMs = 1'000'000;

// The longest wait a timer is asked for; it also keeps the sums in nanoseconds far
// from overflow.
constexpr qint64 kMaxPeriodMs = std::numeric_limits<int>::max();

qint64 PeriodNs(qint64 periodMs) { return qBound<qint64>(0, periodMs, kMaxPeriodMs) * kNsPerMs; }

}  // namespace

qint64 Timeline::Start(qint64 nowNs, qint64 periodMs) {
  lateness_ = 0;
  due_ = nowNs + PeriodNs(periodMs);
  return WaitMs(nowNs);
}

qint64 Timeline::Tick(qint64 nowNs, qint64 periodMs) {
  lateness_ = nowNs - due_;
  if (lateness_ > kMaxCorrectionNs || lateness_ < -kMaxCorrectionNs) due_ = nowNs;
  due_ += PeriodNs(periodMs);
  return WaitMs(nowNs);
}

qint64 Timeline::WaitMs(qint64 nowNs) const {
  const qint64 wait = due_ - nowNs;
  if (wait <= 0) return 0;
  return wait / kNsPerMs;
}

}  // namespace playback
